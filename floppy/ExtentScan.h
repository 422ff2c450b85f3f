// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How much of the boot image a floppy job writes: the image is 80 cylinders of 18,432 bytes, and
// a cylinder whose bytes are all the fill byte 0xF6 is empty. Only the front of the image, up to
// its last cylinder with data and one empty cylinder after it, goes onto the disk.

#include <cstddef>
#include <cstdint>

inline constexpr std::uint32_t kFillWord = 0xF6F6F6F6u;

/// True as soon as one of the block's first length / 4 32-bit words differs from 0xF6F6F6F6;
/// false when all equal it (and for a length below 4, which covers no word).
bool BlockHasData(const void* block, std::size_t length);

/// The number of cylinders to write, from cylinder 0 on: the last cylinder of the boot image
/// (JobState.bootImageOffset in JobState.resourceFile) that holds data, plus one all-fill
/// cylinder after it when the image has one; 1 for an image without data. Always 1..80. A
/// cylinder that cannot be read counts as data, so the writer reaches it and reports the
/// failure; without memory for the scan the whole image counts. Reads through the container
/// lock and leaves the container's file position at the start of the image. Worker thread.
std::int32_t FindLastUsedCylinder();
