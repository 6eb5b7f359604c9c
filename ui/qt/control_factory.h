// One Qt widget for one control of a dialog template: its kind, caption,
// geometry, states and the names screen readers and tests know it by.
#pragma once

#include <QWidget>

#include "res/dialog_template.h"
#include "ui/qt/dialog_font.h"

namespace ui::qt {

// The dynamic property that holds a widget's control id.
inline constexpr const char* kControlIdProperty = "controlId";

// A new child of `parent`, placed and set up as the template says, still to be
// shown with its parent (hidden controls stay hidden).
QWidget* CreateControl(const res::Control& control, const DialogUnits& units, QWidget* parent);

// The template's id of a widget made by CreateControl; res::kNoId for others.
int ControlId(const QWidget* widget);

}  // namespace ui::qt
