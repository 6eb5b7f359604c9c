#include "ui/win32/dialog_template.h"

#include <string>

#include "ui/win32/gbk_text.h"

namespace ui::win32 {
namespace {

// The predefined window classes, by the ordinals a dialog template names them with.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint16_t kListBoxClass = 0x0083;

bool Has(const res::Control& control, uint32_t style) { return (control.style & style) != 0; }

uint16_t ClassOf(res::Kind kind) {
  switch (kind) {
    case res::Kind::PushButton:
    case res::Kind::CheckBox:
    case res::Kind::GroupBox:
      return kButtonClass;
    case res::Kind::Edit:
      return kEditClass;
    case res::Kind::ListBox:
      return kListBoxClass;
    case res::Kind::Label:
    case res::Kind::EtchedFrame:
    case res::Kind::Icon:
      return kStaticClass;
  }
  return kStaticClass;
}

DWORD KindStyle(const res::Control& control) {
  switch (control.kind) {
    case res::Kind::PushButton:
      if (Has(control, res::kOwnerDraw)) return BS_OWNERDRAW;
      return Has(control, res::kDefPushButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    case res::Kind::CheckBox:
      return BS_AUTOCHECKBOX;
    case res::Kind::GroupBox:
      return BS_GROUPBOX;
    case res::Kind::Edit: {
      DWORD style = ES_LEFT | WS_BORDER;
      if (Has(control, res::kLowerCase)) style |= ES_LOWERCASE;
      if (Has(control, res::kReadOnly)) style |= ES_READONLY;
      if (Has(control, res::kMultiLine)) style |= ES_MULTILINE;
      if (Has(control, res::kAutoHScroll)) style |= ES_AUTOHSCROLL;
      if (Has(control, res::kAutoVScroll)) style |= ES_AUTOVSCROLL;
      return style;
    }
    case res::Kind::ListBox: {
      DWORD style = WS_BORDER;
      if (Has(control, res::kNotify)) style |= LBS_NOTIFY;
      return style;
    }
    // Labels show an ampersand as it stands: a status text is no mnemonic.
    case res::Kind::Label:
      return SS_LEFT | SS_NOPREFIX;
    case res::Kind::EtchedFrame:
      return SS_ETCHEDFRAME;
    case res::Kind::Icon:
      return SS_ICON;
  }
  return 0;
}

}  // namespace

ItemStyle StyleOf(const res::Control& control) {
  DWORD style = WS_CHILD | KindStyle(control);
  if (!Has(control, res::kHidden)) style |= WS_VISIBLE;
  if (Has(control, res::kDisabled)) style |= WS_DISABLED;
  if (Has(control, res::kTabStop)) style |= WS_TABSTOP;
  if (Has(control, res::kVScroll)) style |= WS_VSCROLL;
  const DWORD exStyle = Has(control, res::kSunken) ? WS_EX_CLIENTEDGE : 0;
  return {style, exStyle};
}

InMemoryTemplate::InMemoryTemplate(const res::Dialog& dialog, DWORD dialogStyle, DWORD dialogExStyle) {
  // DLGTEMPLATE
  Dword(dialogStyle | DS_SETFONT);
  Dword(dialogExStyle);
  Word(static_cast<uint16_t>(dialog.controls.size()));
  Word(0);  // x, y: the frame's style places the dialog
  Word(0);
  Word(static_cast<uint16_t>(dialog.width));
  Word(static_cast<uint16_t>(dialog.height));
  Word(0);  // no menu
  Word(0);  // the dialog class
  Text(dialog.caption);
  Word(static_cast<uint16_t>(dialog.pointSize));
  Text(dialog.font);

  for (const res::Control& control : dialog.controls) {
    AlignDword();
    const ItemStyle style = StyleOf(control);
    Dword(style.style);
    Dword(style.exStyle);
    Word(static_cast<uint16_t>(control.x));
    Word(static_cast<uint16_t>(control.y));
    Word(static_cast<uint16_t>(control.width));
    Word(static_cast<uint16_t>(control.height));
    Word(static_cast<uint16_t>(control.id));  // -1, the unnamed id, as 0xFFFF
    Word(0xFFFF);
    Word(ClassOf(control.kind));
    if (control.kind == res::Kind::Icon) {
      // The icon resource by its number: the dialog manager loads it from the program.
      Word(0xFFFF);
      Word(static_cast<uint16_t>(control.id));
    } else {
      Text(control.caption);
    }
    Word(0);  // no creation data
  }
}

void InMemoryTemplate::Dword(uint32_t value) {
  Word(static_cast<uint16_t>(value & 0xFFFF));
  Word(static_cast<uint16_t>(value >> 16));
}

void InMemoryTemplate::Text(const char* gbk) {
  const std::wstring wide = platform::GbkToWide(gbk == nullptr ? "" : gbk);
  for (wchar_t c : wide) Word(static_cast<uint16_t>(c));
  Word(0);
}

void InMemoryTemplate::AlignDword() {
  if (words_.size() % 2 != 0) Word(0);
}

}  // namespace ui::win32
