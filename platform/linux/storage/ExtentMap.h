// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the bytes of the streams of a temporary storage lie in its file. Only these maps stay in
// memory; the bytes live in the file. File space is handed out from the start of the file on and
// never twice: space given up is never reused, so space never written is a hole of the sparse
// file and reads as zeros. That keeps the bytes of a stream between its size and its capacity
// zero, as a stream that grows without writes must read.

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::layer {

/// A run of bytes of the file.
struct FileRun {
    std::uint64_t fileOffset;
    std::uint64_t length;
};

/// Hands out the file's space.
class FileSpace {
public:
    /// The file offset of length fresh bytes; nullopt when the file could not address them.
    std::optional<std::uint64_t> allocate(std::uint64_t length);

private:
    std::uint64_t end_ = 0;
};

/// The extents of one stream, in stream order: its capacity, of which its size is in use.
class ExtentMap {
public:
    std::uint64_t size() const { return size_; }
    std::uint64_t capacity() const;

    /// The run of the file that holds the stream's bytes from position (below the capacity)
    /// on, at most length bytes long.
    FileRun locate(std::uint64_t position, std::uint64_t length) const;

    /// Makes the capacity at least wanted, growing by at least what it holds (within bounds) so
    /// that small writes make few extents. False when the file has no more space to give.
    /// Throws std::bad_alloc.
    bool reserve(std::uint64_t wanted, FileSpace& space);

    /// Sets the size up to the capacity.
    void grow(std::uint64_t size);

    /// Cuts the size and the capacity to size (at most the size) and returns the runs of the
    /// file no longer used, for the caller to give back. Throws std::bad_alloc.
    std::vector<FileRun> truncate(std::uint64_t size);

    /// Every run of the file the stream holds.
    std::vector<FileRun> runs() const;

private:
    struct Extent {
        std::uint64_t streamOffset;
        FileRun run;
    };

    std::vector<Extent> extents_;
    std::uint64_t size_ = 0;
};

} // namespace platform::layer
