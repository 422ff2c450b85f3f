// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The copy of a container entry into a stream, in small pieces, each one a positioned read of
// the container (no other thread's read can come between the positioning and the read) and one
// write to the stream.

#include "platform/Storage.h"
#include "resfile/ResourceFile.h"

#include <cstdint>

/// The most bytes one piece carries.
inline constexpr std::uint32_t kCopyPieceBytes = 4;

/// Writes the data of entry id of the container in JobState.resourceFile to the stream at its
/// seek pointer, piece by piece; the last piece holds what is left, so the stream receives
/// exactly the entry's bytes. Calling thread: the CD build job's. Throws BuildFailure: "Missing
/// content entry" when the container has no such entry (no error is left pending), "Failed
/// reading entry" when a read fails or comes short (data beyond the file), "Failed writing
/// stream" when a write fails or takes fewer bytes than given.
void CopyEntryToStream(ResourceId id, win::IStream* stream);
