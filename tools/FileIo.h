// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Plain file input and output for the tool, through the platform's file calls. Every transfer
// either moves all its bytes or reports failure: a short read or write is a failure.

#include "platform/ScopedHandle.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tools {

/// Opens an existing file for reading, sharing it with other readers; the handle is invalid when
/// the file cannot be opened.
platform::FileHandle OpenInput(const std::string& path);

/// The size of an open file, leaving it positioned at its start; nothing when it cannot be told.
std::optional<std::uint64_t> FileSize(win::HANDLE file);

/// Reads exactly size bytes at the file's position; false on failure or a short read.
bool ReadExactly(win::HANDLE file, void* buffer, std::size_t size);

/// True when the file's position is at its end (a read there gives nothing).
bool AtEnd(win::HANDLE file);

/// Writes all size bytes at the file's position; false on failure or a short write.
bool WriteAll(win::HANDLE file, const void* buffer, std::size_t size);

/// Positions the file at offset from its start; false on failure.
bool SeekTo(win::HANDLE file, std::uint32_t offset);

/// The whole content of a file of at most maxBytes bytes; nothing when it cannot be read or is
/// larger.
std::optional<std::string> ReadSmallFile(const std::string& path, std::uint64_t maxBytes);

} // namespace tools
