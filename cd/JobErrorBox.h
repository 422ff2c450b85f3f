// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD build job's error messages.

#include "resfile/ResourceFile.h"

/// Shows container text id under the error caption (1006), both read now, in a box without owner
/// window with the error icon and the OK button; returns when the user has dismissed it. Only
/// the calling thread waits.
void ShowJobError(ResourceId text);
