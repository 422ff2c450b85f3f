// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A file's contents as libisofs reads them while it generates an image: a stream of libisofs's
// own kind whose reads go, by position, to the staged stream. libisofs reads on its generator
// thread, so nothing of the file is held in memory and the reads must be safe from any thread.

#include "platform/ComPtr.h"
#include "platform/linux/cd/JolietImage.h"
#include "platform/linux/storage/StreamBytes.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform::layer {

/// Reads count bytes at offset into buffer; false when not all of them could be read.
using ReadAt = std::function<bool(std::uint64_t offset, void* buffer, std::size_t count)>;

/// Reads through the layer's positioned reads of a stream; the reader holds a reference to it.
ReadAt ReaderOf(ComPtr<IStreamBytes> bytes);

/// A stream of size bytes that reads through read. Each stream has an identity of its own, so
/// libisofs never takes two files of the same size for one. A failed read sets *readFailed (the
/// image then holds zeros where the bytes belong, so the disc is no good).
IsoStreamRef MakeStreamSource(ReadAt read, std::uint64_t size,
                              std::shared_ptr<std::atomic<bool>> readFailed);

} // namespace platform::layer
