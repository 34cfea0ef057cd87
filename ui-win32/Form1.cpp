#include "Form1.h"

#include "KorvalinVersion.h"
#include "Menus.h"
#include "Resources.h"
#include "WideText.h"
#include "WindowClass.h"

#include <algorithm>
#include <stdexcept>

namespace korvalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KorvalinForm1";
// A fixed client area: no sizing border, no maximising.
// No WS_CLIPCHILDREN: a group box leaves its inside to its parent's background.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The font of message boxes at the window's DPI: the platform's default GUI font.
UniqueFont messageFont(int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                   static_cast<UINT>(dpi)))
        return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
    LOGFONTW font{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, USER_DEFAULT_SCREEN_DPI);
    return UniqueFont(CreateFontIndirectW(&font));
}

UniqueIcon editorIcon(HINSTANCE instance, int metric, int dpi) {
    const int size = GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi));
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_EDITOR),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void move(HWND control, const RECT& box) {
    SetWindowPos(control, nullptr, box.left, box.top, box.right - box.left, box.bottom - box.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createControl(const wchar_t* type, const std::wstring& text, DWORD style, HWND parent, int id,
                   HINSTANCE instance) {
    return CreateWindowExW(0, type, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
}

} // namespace

const std::wstring Form1::kTitle = L"Korvalin Font Set Creator " + Widen(kVersion);

Form1::Form1(HINSTANCE instance, Platform& platform)
    : instance_(instance), platform_(platform), editor_(*this, platform) {
    RegisterWindowClass(instance, {kClassName, &Form1::procedure,
                                   LoadIconW(instance, MAKEINTRESOURCEW(IDI_EDITOR)),
                                   GetSysColorBrush(COLOR_BTNFACE)});
    UniqueMenu menu = BuildMenuBar(MenuTable());
    // The window keeps itself in window_ from its first message on.
    if (CreateWindowExW(0, kClassName, kTitle.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0,
                        nullptr, menu.get(), instance, this) == nullptr)
        throw std::runtime_error("The editor's window cannot be created.");
    static_cast<void>(menu.release()); // the window's now
    createControls();
    RECT place{};
    GetWindowRect(hwnd(), &place);
    applyDpi(static_cast<int>(GetDpiForWindow(hwnd())), {place.left, place.top});
}

Form1::~Form1() {
    ended_ = true;
    window_.reset();
}

void Form1::createControls() {
    const HWND window = hwnd();
    // Clips the preview above it, which it frames.
    frame_ =
        createControl(L"BUTTON", L"Preview", BS_GROUPBOX | WS_CLIPSIBLINGS, window, -1, instance_);
    // The only control that takes the keyboard, and the default button for Return.
    next_ = createControl(L"BUTTON", L"Next", BS_DEFPUSHBUTTON | WS_TABSTOP, window, kNextId,
                          instance_);
    status_ = createControl(L"STATIC", Widen(Editor::kStatusPrefix), SS_LEFT | SS_NOPREFIX, window,
                            -1, instance_);
    pixel_ = std::make_unique<CellGrid>(CellGrid::Kind::Pixel, window, instance_, [this](int i) {
        run([this, i] { editor_.pixel_Click(i); });
    });
    preview_ = std::make_unique<CellGrid>(CellGrid::Kind::Preview, window, instance_, nullptr);
    SetFocus(next_);
}

TextRoom Form1::textRoom() const {
    const HDC dc = GetDC(status_);
    const HGDIOBJ old = SelectObject(dc, font_.get());
    const auto extent = [dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    };
    // The frame's title with a margin of its line on each side.
    std::wstring title(GetWindowTextLengthW(frame_) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(frame_, title.data(), static_cast<int>(title.size()))));
    const int frameTitle = extent(title).cx + 2 * MulDiv(10, dpi_, USER_DEFAULT_SCREEN_DPI);
    // The prefix and the widest three digits a character code can show.
    const SIZE text = extent(Widen(Editor::kStatusPrefix));
    LONG widestDigit = 0;
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit)
        widestDigit = std::max(widestDigit, extent(std::wstring(1, digit)).cx);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(status_, dc);
    return {{text.cx + 3 * widestDigit + 2, metrics.tmHeight}, frameTitle};
}

void Form1::applyDpi(int dpi, POINT origin) {
    dpi_ = dpi;
    font_ = messageFont(dpi);
    for (const HWND control : {frame_, next_, status_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    const Layout layout = LayoutAt(dpi, textRoom());
    move(frame_, layout.frame);
    move(next_, layout.next);
    move(status_, layout.status);
    const int line = std::max(1, dpi / USER_DEFAULT_SCREEN_DPI);
    pixel_->place(layout.pixelGrid, layout.pixelCells, line);
    preview_->place(layout.previewGrid, layout.previewCells, line);

    RECT outer{0, 0, layout.client.cx, layout.client.cy};
    AdjustWindowRectExForDpi(&outer, kStyle, TRUE, 0, static_cast<UINT>(dpi));
    SetWindowPos(hwnd(), nullptr, origin.x, origin.y, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps takes its rows from the client area: they are added back.
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (client.bottom != layout.client.cy)
        SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top + layout.client.cy - client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);

    bigIcon_ = editorIcon(instance_, SM_CXICON, dpi);
    smallIcon_ = editorIcon(instance_, SM_CXSMICON, dpi);
    if (bigIcon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

template <typename Handler>
void Form1::run(Handler&& handler) {
    if (ended_)
        return;
    try {
        handler();
    } catch (const std::exception& error) {
        try {
            platform_.MsgBox(error.what(), MsgBoxStyle::OkOnly | MsgBoxStyle::Critical,
                             std::string());
        } catch (...) {
            // The program ends anyway.
        }
        End(1);
    }
}

LRESULT CALLBACK Form1::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && form != nullptr) {
        static_cast<void>(form->window_.release());
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form = nullptr;
    }
    return form != nullptr ? form->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT Form1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (lParam != 0) {
            if (id == kNextId && HIWORD(wParam) == BN_CLICKED)
                run([this] { editor_.cmdNextChar_Click(); });
        } else if (HIWORD(wParam) == 0) {
            if (const MenuEntry* entry = MenuEntryOf(MenuTable(), id))
                run([this, entry] { editor_.Choose(*entry); });
        }
        return 0;
    }
    case DM_GETDEFID:
        return MAKELRESULT(kNextId, DC_HASDEFID);
    case WM_SETFOCUS:
        if (next_ != nullptr)
            SetFocus(next_);
        return 0;
    case WM_SETCURSOR:
        if (busy_ > 0) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        run([this] {
            bool cancel = false;
            editor_.Form_Unload(cancel);
        });
        return 0;
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        applyDpi(HIWORD(wParam), {suggested->left, suggested->top});
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void Form1::ShowCell(CellBlock block, int index, OleColor colour) {
    (block == CellBlock::Pixel ? *pixel_ : *preview_).setColour(index, colour);
}

OleColor Form1::CellColour(CellBlock block, int index) const {
    return grid(block).colour(index);
}

void Form1::SetStatus(const std::string& text) {
    SetWindowTextW(status_, Widen(text).c_str());
}

void Form1::SetBusyPointer(bool busy) {
    busy_ = std::max(0, busy_ + (busy ? 1 : -1));
    SetCursor(LoadCursorW(nullptr, busy_ > 0 ? IDC_WAIT : IDC_ARROW));
}

// Closing the window is left to its owner, once the loop has ended.
void Form1::End(int exitStatus) {
    ended_ = true;
    exitStatus_ = exitStatus;
    ShowWindow(hwnd(), SW_HIDE);
    PostQuitMessage(exitStatus);
}

} // namespace korvalin::win32
