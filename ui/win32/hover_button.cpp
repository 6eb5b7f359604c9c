#include "ui/win32/hover_button.h"

#include <string>

namespace ui::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x6101;
constexpr LONG_PTR kTypeMask = 0x1F;

}  // namespace

HoverButton::HoverButton(HWND button)
    : button_(button) {
  // Whatever the template made of it, the button draws itself from now on.
  const LONG_PTR style = GetWindowLongPtrW(button_, GWL_STYLE);
  isDefault_ = (style & kTypeMask) == BS_DEFPUSHBUTTON;
  SetWindowLongPtrW(button_, GWL_STYLE, (style & ~kTypeMask) | BS_OWNERDRAW);
  SetWindowPos(button_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetWindowSubclass(button_, Proc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

HoverButton::~HoverButton() {
  if (IsWindow(button_)) RemoveWindowSubclass(button_, Proc, kSubclassId);
}

LRESULT CALLBACK HoverButton::Proc(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  return reinterpret_cast<HoverButton*>(self)->Handle(message, wParam, lParam);
}

LRESULT HoverButton::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE: {
      const LRESULT result = DefSubclassProc(button_, message, wParam, lParam);
      TrackHover(lParam, wParam);
      return result;
    }
    case WM_MOUSELEAVE:
      CancelHover();
      return 0;
    case WM_KILLFOCUS:
    case WM_CANCELMODE: {
      const LRESULT result = DefSubclassProc(button_, message, wParam, lParam);
      CancelHover();
      return result;
    }
    case WM_ENABLE: {
      const LRESULT result = DefSubclassProc(button_, message, wParam, lParam);
      if (!wParam && GetFocus() == button_) {
        // A disabled button cannot keep the keyboard: on to the next tab stop.
        HWND parent = GetParent(button_);
        HWND next = GetNextDlgTabItem(parent, button_, FALSE);
        ::SetFocus(next != nullptr && next != button_ ? next : parent);
      }
      CancelHover();
      return result;
    }
    case WM_GETDLGCODE:
      return DefSubclassProc(button_, message, wParam, lParam) |
             (isDefault_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: {
      // The dialog moves the default between its push buttons with this; the
      // button follows as to being the default, and stays owner-drawn.
      const WPARAM type = wParam & kTypeMask;
      if (type == BS_DEFPUSHBUTTON || type == BS_PUSHBUTTON) isDefault_ = type == BS_DEFPUSHBUTTON;
      return DefSubclassProc(button_, message, (wParam & ~static_cast<WPARAM>(kTypeMask)) | BS_OWNERDRAW, lParam);
    }
    case WM_LBUTTONDBLCLK:
      // The second press of a double click is one more press, so it clicks again.
      return DefSubclassProc(button_, WM_LBUTTONDOWN, wParam, lParam);
    default:
      return DefSubclassProc(button_, message, wParam, lParam);
  }
}

void HoverButton::TrackHover(LPARAM position, WPARAM keys) {
  POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
  ClientToScreen(button_, &point);
  HWND under = WindowFromPoint(point);
  // A drag that arrives from elsewhere does not light the button up.
  if ((keys & MK_LBUTTON) != 0 && !hovering_) return;
  // Hover counts also while another window is active.
  if (under == button_) {
    if (!hovering_) {
      hovering_ = true;
      InvalidateRect(button_, nullptr, TRUE);
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, button_, 0};
      TrackMouseEvent(&track);
    }
  } else {
    CancelHover();
  }
}

void HoverButton::CancelHover() {
  if (hovering_) {
    hovering_ = false;
    InvalidateRect(button_, nullptr, TRUE);
  }
}

void HoverButton::DrawBorder(HDC dc, const RECT& rect) const {
  // One pixel of 3-D edge: raised at rest under the mouse, sunken while pressed.
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  const COLORREF topLeft = pressed_ ? shadow : light;
  const COLORREF bottomRight = pressed_ ? light : shadow;
  auto fill = [dc](int left, int top, int right, int bottom, COLORREF colour) {
    const RECT r{left, top, right, bottom};
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
  };
  fill(rect.left, rect.top, rect.right - 1, rect.top + 1, topLeft);
  fill(rect.left, rect.top, rect.left + 1, rect.bottom - 1, topLeft);
  fill(rect.right - 1, rect.top, rect.right, rect.bottom, bottomRight);
  fill(rect.left, rect.bottom - 1, rect.right, rect.bottom, bottomRight);
}

void HoverButton::DrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  pressed_ = (item.itemState & ODS_SELECTED) != 0;
  disabled_ = (item.itemState & ODS_DISABLED) != 0;
  const RECT rect = item.rcItem;

  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HBRUSH brush = CreateSolidBrush(face);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);

  if (pressed_ || hovering_) DrawBorder(dc, rect);

  const int length = GetWindowTextLengthW(button_);
  if (length > 0) {
    std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
    caption.resize(static_cast<size_t>(GetWindowTextW(button_, caption.data(), length + 1)));
    HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button_, WM_GETFONT, 0, 0)));

    RECT captionRect = rect;
    if (pressed_) OffsetRect(&captionRect, 1, 1);
    RECT measured = captionRect;
    DrawTextW(dc, caption.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    OffsetRect(&measured, ((captionRect.right - captionRect.left) - (measured.right - measured.left)) / 2,
               ((captionRect.bottom - captionRect.top) - (measured.bottom - measured.top)) / 2);

    SetBkMode(dc, TRANSPARENT);
    if (disabled_) {
      // Engraved: a light copy one pixel down and right under the shadowed caption.
      RECT engraved = measured;
      OffsetRect(&engraved, 1, 1);
      SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextW(dc, caption.c_str(), -1, &engraved, DT_WORDBREAK | DT_CENTER);
      SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
      DrawTextW(dc, caption.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER);
    } else {
      SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
      SetBkColor(dc, face);
      DrawTextW(dc, caption.c_str(), -1, &measured, DT_WORDBREAK | DT_CENTER);
    }
    SelectObject(dc, oldFont);
  }
}

}  // namespace ui::win32
