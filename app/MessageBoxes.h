// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Message boxes whose text and caption are container texts. A box blocks only the calling
// thread until the user closes it.

#include "platform/MessageBox.h"
#include "resfile/ResourceFile.h"

/// Shows text under caption, both read now, owned by owner (null: none); returns the answer.
int ShowTextBox(win::HWND owner, ResourceId text, ResourceId caption, win::UINT style);

/// The job threads' errors: text under caption, without owner, with MB_ICONERROR.
void ShowErrorBox(const ResourceText& text, const ResourceText& caption);

/// Shows text id under caption 1006, without owner, with MB_ICONERROR.
void ShowErrorBox(ResourceId text);
