// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The floppy code's error messages: container texts in a message box without owner window, with
// the error icon, blocking only the calling thread until the user closes it.

#include "resfile/ResourceFile.h"

/// A text of the container in JobState.resourceFile; "" when it is missing.
ResourceText ReadJobText(ResourceId id);

/// Shows text under caption, without owner, with MB_ICONERROR.
void ShowErrorBox(const ResourceText& text, const ResourceText& caption);

/// Shows text id under caption 1006, both read now.
void ShowErrorBox(ResourceId text);
