#include "Form1.h"

#include "DeviceContext.h"
#include "Dpi.h"
#include "KorvalinVersion.h"
#include "Menus.h"
#include "Resources.h"
#include "WideText.h"

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
    LOGFONTW font{};
    if (MessageFontAt(dpi, font, DpiFunctions::OfThisSystem()))
        return UniqueFont(CreateFontIndirectW(&font));
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = MulDiv(font.lfHeight, dpi, USER_DEFAULT_SCREEN_DPI);
    return UniqueFont(CreateFontIndirectW(&font));
}

UniqueIcon editorIcon(HINSTANCE instance, int metric, int dpi) {
    const int size = SystemMetricAt(metric, dpi, DpiFunctions::OfThisSystem());
    return UniqueIcon(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_EDITOR),
                                                    IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

void move(HWND control, const PixelBox& box) {
    SetWindowPos(control, nullptr, box.left, box.top, box.width(), box.height(),
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
    : instance_(instance), editor_(*this, platform) {
    UniqueMenu menu = BuildMenuBar(MenuTable());
    // The window keeps itself in window_ from its first message on.
    const WindowClass type{kClassName, LoadIconW(instance, MAKEINTRESOURCEW(IDI_EDITOR)),
                           GetSysColorBrush(COLOR_BTNFACE)};
    if (CreateWindowOf(instance, type,
                       {kStyle, nullptr, menu.get(), kTitle.c_str(), CW_USEDEFAULT, CW_USEDEFAULT},
                       *this) == nullptr)
        throw std::runtime_error("The editor's window cannot be created.");
    static_cast<void>(menu.release()); // the window's now
    createControls();
    RECT place{};
    GetWindowRect(hwnd(), &place);
    applyDpi(DpiOf(hwnd(), DpiFunctions::OfThisSystem()), {place.left, place.top});
}

Form1::~Form1() {
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
        editor_.Run([this, i] { editor_.pixel_Click(i); });
    });
    preview_ = std::make_unique<CellGrid>(CellGrid::Kind::Preview, window, instance_, nullptr);
    SetFocus(next_);
}

TextRoom Form1::textRoom() const {
    const WindowDC dc(status_);
    const Selection font(dc.get(), font_.get());
    const auto width = [&dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    int widestDigit = 0;
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit)
        widestDigit = std::max(widestDigit, width(std::wstring(1, digit)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    // The frame's title with a margin of its line on each side.
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(frame_)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(
        GetWindowTextW(frame_, title.data(), static_cast<int>(title.size()))));
    const int frameWithTitle = width(title) + 2 * MulDiv(10, dpi_, USER_DEFAULT_SCREEN_DPI);
    return {width(Widen(Editor::kStatusPrefix)), widestDigit, static_cast<int>(metrics.tmHeight),
            frameWithTitle};
}

void Form1::applyDpi(int dpi, POINT origin) {
    dpi_ = dpi;
    font_ = messageFont(dpi);
    for (const HWND control : {frame_, next_, status_})
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    layout_ = LayOutForm(dpi, textRoom(), PreviewParent::ClientArea);
    move(frame_, layout_.frame);
    move(next_, layout_.next);
    move(status_, layout_.status);
    const int line = GridLineWidth(static_cast<double>(dpi) / USER_DEFAULT_SCREEN_DPI);
    pixel_->place(layout_.pixel, line);
    preview_->place(layout_.preview, line);

    RECT outer{0, 0, layout_.clientWidth, layout_.clientHeight};
    AdjustWindowRectAt(outer, kStyle, true, dpi, DpiFunctions::OfThisSystem());
    SetWindowPos(hwnd(), nullptr, origin.x, origin.y, outer.right - outer.left,
                 outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    // A menu bar that wraps takes its rows from the client area: they are added back.
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (client.bottom != layout_.clientHeight)
        SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top + layout_.clientHeight - client.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);

    bigIcon_ = editorIcon(instance_, SM_CXICON, dpi);
    smallIcon_ = editorIcon(instance_, SM_CXSMICON, dpi);
    if (bigIcon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    if (smallIcon_)
        SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT Form1::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE:
        window_.reset(window);
        break;
    case WM_NCDESTROY:
        static_cast<void>(window_.release()); // the system's to destroy now
        break;
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (lParam != 0) {
            if (id == kNextId && HIWORD(wParam) == BN_CLICKED)
                editor_.Run([this] { editor_.cmdNextChar_Click(); });
        } else if (HIWORD(wParam) == 0) {
            if (const MenuEntry* entry = MenuEntryOf(MenuTable(), id))
                editor_.Run([this, entry] { editor_.Choose(*entry); });
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
        editor_.Run([this] {
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
    return DefWindowProcW(window, message, wParam, lParam);
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
