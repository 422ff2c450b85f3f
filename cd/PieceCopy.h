// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The copy of a container entry into a stream, piece by piece, each piece a positioned read of
// the container (no other thread's read can come between the positioning and the read) and one
// write to the stream.

#include "platform/Storage.h"
#include "resfile/ResourceFile.h"

#include <cstdint>

/// The most bytes one piece carries: large enough that a copy of hundreds of megabytes takes a
/// few thousand calls rather than millions, small enough to stay out of the way of memory.
inline constexpr std::uint32_t kCopyPieceBytes = 64 * 1024;

/// Writes the data of entry id of the container in JobState.resourceFile to the stream at its
/// seek pointer, piece by piece; the last piece holds what is left, so the stream receives
/// exactly the entry's bytes, in order, and no byte past the entry is read. Calling thread: the
/// CD build job's. Throws BuildFailure: "Missing content entry" when the container has no such
/// entry (no error is left pending), "Failed reading entry" when a read fails or comes short
/// (data beyond the file), "Failed writing stream" when a write fails or takes fewer bytes than
/// given. Throws std::bad_alloc when the piece finds no memory.
void CopyEntryToStream(ResourceId id, win::IStream* stream);
