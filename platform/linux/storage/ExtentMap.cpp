// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/ExtentMap.h"

#include <algorithm>
#include <cassert>
#include <limits>

namespace platform::layer {
namespace {

// File offsets are signed 64-bit numbers for the system calls.
constexpr std::uint64_t kFileSpaceLimit = std::numeric_limits<std::int64_t>::max();

// Bounds of the growth step: 64 KiB keeps a stream written in 4-byte pieces to a handful of
// extents; 64 MiB keeps a huge size step from reserving far more than asked.
constexpr std::uint64_t kMinGrowth = std::uint64_t{64} << 10;
constexpr std::uint64_t kMaxGrowth = std::uint64_t{64} << 20;

} // namespace

std::optional<std::uint64_t> FileSpace::allocate(std::uint64_t length) {
    if (length > kFileSpaceLimit - end_)
        return std::nullopt;
    const std::uint64_t offset = end_;
    end_ += length;
    return offset;
}

std::uint64_t ExtentMap::capacity() const {
    return extents_.empty() ? 0 : extents_.back().streamOffset + extents_.back().run.length;
}

FileRun ExtentMap::locate(std::uint64_t position, std::uint64_t length) const {
    assert(position < capacity());
    const auto after = std::upper_bound(
        extents_.begin(), extents_.end(), position,
        [](std::uint64_t at, const Extent& extent) { return at < extent.streamOffset; });
    const Extent& extent = *(after - 1);
    const std::uint64_t into = position - extent.streamOffset;
    return {extent.run.fileOffset + into, std::min(length, extent.run.length - into)};
}

bool ExtentMap::reserve(std::uint64_t wanted, FileSpace& space) {
    const std::uint64_t held = capacity();
    if (wanted <= held)
        return true;
    const std::uint64_t step = std::max(wanted - held, std::clamp(held, kMinGrowth, kMaxGrowth));
    const std::optional<std::uint64_t> offset = space.allocate(step);
    if (!offset)
        return false;
    // A stream written alone takes consecutive space: one extent, however many steps.
    if (!extents_.empty() && extents_.back().run.fileOffset + extents_.back().run.length == *offset)
        extents_.back().run.length += step;
    else
        extents_.push_back({held, {*offset, step}});
    return true;
}

void ExtentMap::grow(std::uint64_t size) {
    assert(size <= capacity());
    size_ = std::max(size_, size);
}

std::vector<FileRun> ExtentMap::truncate(std::uint64_t size) {
    assert(size <= size_);
    std::vector<FileRun> unused;
    while (!extents_.empty() && extents_.back().streamOffset >= size) {
        unused.push_back(extents_.back().run);
        extents_.pop_back();
    }
    if (!extents_.empty()) {
        FileRun& last = extents_.back().run;
        const std::uint64_t kept = size - extents_.back().streamOffset;
        if (kept < last.length)
            unused.push_back({last.fileOffset + kept, last.length - kept});
        last.length = kept;
    }
    size_ = size;
    return unused;
}

std::vector<FileRun> ExtentMap::runs() const {
    std::vector<FileRun> held;
    held.reserve(extents_.size());
    for (const Extent& extent : extents_)
        held.push_back(extent.run);
    return held;
}

} // namespace platform::layer
