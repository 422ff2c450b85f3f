// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Whether a control of the Qt backend shows its text whole, measured in the control's own font
// with the style's own geometry: what a user would see cut is reported.

#include <QWidget>
#include <string>

namespace guitest {

/// "" when the text of control fits: a button's label within its contents, a group box's title
/// within its top line, a static's text wrapped within its width and its lines, every entry of a
/// drop-down list within its field. Otherwise what does not fit, and by how much. UI thread.
std::string CutText(const QWidget& control);

} // namespace guitest
