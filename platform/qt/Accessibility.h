// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What assistive technology learns of a dialog beyond Qt's own accessible widgets: a group box
// is a grouping named by its title, which labels the control it groups.

namespace fw::qt {

/// Makes the accessible interfaces of the backend's own widgets known to Qt; once per process,
/// before the first widget is queried. UI thread.
void InstallAccessibleInterfaces();

} // namespace fw::qt
