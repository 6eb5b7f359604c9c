// The Exit button: an owner-drawn push button in a flat style, with no edge at
// rest, a raised edge while the mouse is over it and a sunken one while it is
// pressed. A click still reaches the dialog as an ordinary click.
#pragma once

#include "ui/win32/windows_api.h"

namespace ui::win32 {

class HoverButton {
 public:
  // Subclasses the button (which must be owner-drawn); the object must outlive the window.
  explicit HoverButton(HWND button);
  ~HoverButton();
  HoverButton(const HoverButton&) = delete;
  HoverButton& operator=(const HoverButton&) = delete;

  HWND hwnd() const { return button_; }
  bool Hovering() const { return hovering_; }
  // The parent's WM_DRAWITEM for this button.
  void DrawItem(const DRAWITEMSTRUCT& item);
  void CancelHover();

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR self);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void TrackHover(LPARAM position, WPARAM keys);
  void DrawBorder(HDC dc, const RECT& rect) const;

  HWND button_;
  bool hovering_ = false;
  bool pressed_ = false;
  bool disabled_ = false;
  bool isDefault_ = false;
};

}  // namespace ui::win32
