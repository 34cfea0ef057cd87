#include "CellGrid.h"

#include "WindowClass.h"

#include <utility>
#include <windowsx.h>

namespace korvalin::win32 {

namespace {

constexpr wchar_t kClassName[] = L"KorvalinCellGrid";
// A thin line round each pixel cell, so blank paper still shows its grid.
constexpr COLORREF kGridLine = RGB(0xB4, 0xB4, 0xB4);

void fill(HDC dc, const RECT& box, COLORREF colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

CellGrid::CellGrid(Kind kind, HWND parent, HINSTANCE instance, Clicked clicked)
    : kind_(kind), clicked_(std::move(clicked)) {
    colours_.fill(kWhite);
    RegisterWindowClass(instance, {kClassName, &CellGrid::procedure});
    // Never takes the keyboard focus: Next keeps it.
    window_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                              nullptr, instance, this);
}

CellGrid::~CellGrid() {
    if (window_ != nullptr)
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
}

void CellGrid::place(const RECT& area, const std::array<RECT, kCells>& cells, int line) {
    cells_ = cells;
    line_ = line;
    SetWindowPos(window_, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, FALSE);
}

void CellGrid::setColour(int index, OleColor colour) {
    OleColor& shown = colours_.at(at(index));
    if (shown == colour)
        return;
    shown = colour;
    InvalidateRect(window_, &cells_.at(at(index)), FALSE);
}

int CellGrid::cellAt(POINT point) const {
    for (int i = kCells - 1; i >= 0; --i) {
        if (PtInRect(&cells_.at(at(i)), point))
            return i;
    }
    return -1;
}

LRESULT CALLBACK CellGrid::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* grid =
            static_cast<CellGrid*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        grid->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(grid));
    }
    auto* grid = reinterpret_cast<CellGrid*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY && grid != nullptr) {
        grid->window_ = nullptr;
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    }
    return grid != nullptr ? grid->handle(message, wParam, lParam)
                           : DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CellGrid::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // the cells cover the whole window
    case WM_PAINT:
        paint();
        return 0;
    case WM_PRINTCLIENT: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        for (std::size_t i = 0; i < cells_.size(); ++i) {
            if (kind_ == Kind::Pixel) {
                fill(dc, cells_[i], kGridLine);
                RECT inside = cells_[i];
                InflateRect(&inside, -line_, -line_);
                fill(dc, inside, colours_[i]);
            } else {
                fill(dc, cells_[i], colours_[i]);
            }
        }
        return 0;
    }
    // A click is a press and a release on the same cell, as with a button.
    case WM_LBUTTONDOWN:
        pressed_ = kind_ == Kind::Pixel ? cellAt(point) : -1;
        if (pressed_ >= 0)
            SetCapture(window_);
        return 0;
    case WM_LBUTTONUP: {
        const int pressed = std::exchange(pressed_, -1);
        if (GetCapture() == window_)
            ReleaseCapture();
        if (pressed >= 0 && cellAt(point) == pressed && clicked_)
            clicked_(pressed);
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = -1;
        return 0;
    default:
        return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void CellGrid::paint() {
    PAINTSTRUCT paint{};
    const HDC dc = BeginPaint(window_, &paint);
    SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EndPaint(window_, &paint);
}

} // namespace korvalin::win32
