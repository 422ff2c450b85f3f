// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Texts of the open container as the dialog, the commands and the job monitors use them.

#include "resfile/ResourceFile.h"

#include <cstdint>
#include <string>

/// A fresh copy of text id of JobState.resourceFile; "" when it is missing.
ResourceText ContainerText(ResourceId id);

/// The same text as a string; "" also when not even an empty copy could be had.
std::string ContainerString(ResourceId id);

/// The letter texts show for a 1-based drive number: 1 gives 'A', 0 (no drive) the character
/// before it.
int DriveLetter(std::int32_t driveNumber);

/// The idle status line: format 1010 with the letter of the first floppy drive found.
std::string IdleStatusLine();
