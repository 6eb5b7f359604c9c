// The dialog templates as data: every control with its id, kind, caption,
// rectangle in dialog units and styles, in tab order. The window is built from
// these tables, never laid out by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace res {

enum class Kind { PushButton, Edit, Label, GroupBox, ListBox, CheckBox, EtchedFrame, Icon };

enum Style : uint32_t {
  kHidden = 1u << 0,       // created without the visible style
  kDisabled = 1u << 1,
  kTabStop = 1u << 2,
  kReadOnly = 1u << 3,
  kLowerCase = 1u << 4,    // typed letters become lower case
  kMultiLine = 1u << 5,
  kVScroll = 1u << 6,      // vertical scroll bar
  kAutoHScroll = 1u << 7,  // text scrolls sideways instead of wrapping or stopping
  kAutoVScroll = 1u << 8,
  kNotify = 1u << 9,       // list boxes tell the dialog about clicks
  kOwnerDraw = 1u << 10,   // the Exit button draws itself
  kDefPushButton = 1u << 11,
  kSunken = 1u << 12,      // a sunken client edge
  kAcceptFiles = 1u << 13, // takes a file dropped from the shell: its path replaces the text
};

inline constexpr int kNoId = -1;  // labels and frames nobody talks to

struct Control {
  int id;
  Kind kind;
  const char* caption;  // GBK; the initial text of edits and labels
  int x, y, width, height;
  uint32_t style;
  // For screen readers: what a control without a caption is called (an edit
  // or list is named by it, a label carries it as its description).
  const char* field;
};

struct Dialog {
  int id;
  const char* caption;  // GBK
  int width, height;    // dialog units
  const char* font;     // GBK face name
  int pointSize;
  std::span<const Control> controls;
};

const Dialog& MainDialogTemplate();   // 102
const Dialog& AboutDialogTemplate();  // 100

// The control of `dialog` with that id, or null.
const Control* FindControl(const Dialog& dialog, int id);

}  // namespace res
