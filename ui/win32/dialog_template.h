// A res/ dialog template as the platform's in-memory dialog template
// (DLGTEMPLATE and its DLGITEMTEMPLATEs), ready for DialogBoxIndirectParamW.
#pragma once

#include <cstdint>
#include <vector>

#include "res/dialog_template.h"
#include "ui/win32/windows_api.h"

namespace ui::win32 {

// The window and control styles a template control is created with.
struct ItemStyle {
  DWORD style;
  DWORD exStyle;
};
ItemStyle StyleOf(const res::Control& control);

class InMemoryTemplate {
 public:
  // `dialogStyle` and `dialogExStyle` are the frame's; DS_SETFONT is added.
  InMemoryTemplate(const res::Dialog& dialog, DWORD dialogStyle, DWORD dialogExStyle);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Word(uint16_t value) { words_.push_back(value); }
  void Dword(uint32_t value);
  void Text(const char* gbk);
  void AlignDword();

  std::vector<uint16_t> words_;  // DWORD-aligned by the vector's allocation
};

}  // namespace ui::win32
