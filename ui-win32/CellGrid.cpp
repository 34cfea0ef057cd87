#include "CellGrid.h"

#include "DeviceContext.h"

#include <utility>
#include <windowsx.h>

namespace korvalin::win32 {

namespace {

void fill(HDC dc, const RECT& box, OleColor colour) {
    SetDCBrushColor(dc, colour);
    FillRect(dc, &box, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

} // namespace

CellGrid::CellGrid(Kind kind, HWND parent, HINSTANCE instance, Clicked clicked)
    : kind_(kind), clicked_(std::move(clicked)) {
    colours_.fill(kWhite);
    // Never takes the keyboard focus: Next keeps it.
    window_ = CreateWindowOf(instance, {L"KorvalinCellGrid"},
                             {.style = WS_CHILD | WS_VISIBLE, .parent = parent}, *this);
}

CellGrid::~CellGrid() {
    Detach(window_);
}

void CellGrid::place(const CellBlockLayout& block, int line) {
    block_ = block;
    line_ = line;
    const PixelBox& area = block.area;
    SetWindowPos(window_, HWND_TOP, area.left, area.top, area.width(), area.height(),
                 SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, FALSE);
}

RECT CellGrid::cellRect(int index) const {
    return ToRect(block_.cells.at(at(index)));
}

void CellGrid::setColour(int index, OleColor colour) {
    OleColor& shown = colours_.at(at(index));
    if (shown == colour)
        return;
    shown = colour;
    const RECT box = cellRect(index);
    InvalidateRect(window_, &box, FALSE);
}

LRESULT CellGrid::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_NCCREATE:
        window_ = window;
        break;
    case WM_NCDESTROY:
        window_ = nullptr;
        break;
    case WM_ERASEBKGND:
        return 1; // the cells cover the whole window
    case WM_PAINT:
        paint(PaintDC(window).get());
        return 0;
    case WM_PRINTCLIENT:
        paint(reinterpret_cast<HDC>(wParam));
        return 0;
    // A click is a press and a release on the same cell, as with a button.
    case WM_LBUTTONDOWN:
        pressed_ = kind_ == Kind::Pixel ? block_.cellAt(point.x, point.y) : -1;
        if (pressed_ >= 0)
            SetCapture(window);
        return 0;
    case WM_LBUTTONUP: {
        const int pressed = std::exchange(pressed_, -1);
        if (GetCapture() == window)
            ReleaseCapture();
        if (pressed >= 0 && block_.cellAt(point.x, point.y) == pressed && clicked_)
            clicked_(pressed);
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = -1;
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CellGrid::paint(HDC dc) const {
    for (int i = 0; i < kCells; ++i) {
        const RECT box = cellRect(i);
        if (kind_ == Kind::Pixel) {
            fill(dc, box, kGridLine);
            RECT inside = box;
            InflateRect(&inside, -line_, -line_);
            fill(dc, inside, colours_[at(i)]);
        } else {
            fill(dc, box, colours_[at(i)]);
        }
    }
}

} // namespace korvalin::win32
