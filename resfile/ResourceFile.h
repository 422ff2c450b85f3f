// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The resource container install.dat: a 14-byte header, a directory of 12-byte records and the
// entries' data, all little-endian. Every operation reports through one sticky error code per
// thread (ResourceError): while it is pending every operation but GetResourceError refuses to
// work. Buffers and strings come from malloc and the caller frees them.
//
// One handle, many threads: every read the module makes, and every read a caller makes through
// ReadResourceBytesAt, positions and reads under one process-wide lock, so no thread moves the
// file position under another's read. The error code is kept per thread, so one thread's
// failure never reaches another.

#include "platform/Gdi.h"
#include "platform/Types.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>

using ResourceId = std::uint16_t;

inline constexpr std::uint32_t kResourceMagic = 0xFEAFBEBAu;
inline constexpr std::uint16_t kResourceVersion = 1;
inline constexpr std::uint32_t kResourceHeaderSize = 14;
inline constexpr std::uint32_t kResourceEntrySize = 12;

// Where the fields lie in the header and in a directory record (bytes 0 and 3 of a record are
// not read).
inline constexpr std::size_t kHeaderMagicAt = 0;
inline constexpr std::size_t kHeaderEntryCountAt = 4;
inline constexpr std::size_t kHeaderVersionAt = 6;
inline constexpr std::size_t kHeaderReservedAt = 8;
inline constexpr std::size_t kHeaderDirectoryOffsetAt = 10;
inline constexpr std::size_t kEntryIdAt = 1;
inline constexpr std::size_t kEntryDataOffsetAt = 4;
inline constexpr std::size_t kEntryDataSizeAt = 8;

/// Values of ResourceError.
enum ResourceErrorCode : std::int32_t {
    kResourceOk = 0,
    kResourceIoError = 1,    ///< a seek, read or write failed or was short
    kResourceBadMagic = 2,   ///< the header's magic is not 0xFEAFBEBA
    kResourceBadVersion = 3, ///< the header's version is above 1
    kResourceCannotOpen = 4, ///< the file cannot be opened or created, or the handle is invalid
    kResourceNoMemory = 5,   ///< no memory for a directory copy or a data buffer
    kResourceNotFound = 6,   ///< no entry has the identifier (also: a container without entries)
    kResourceNoPlaceForEntry = 7 ///< FindResourceEntry received no place for the found entry
};

/// The 14-byte header, decoded.
struct ResourceHeader {
    std::uint32_t magic = 0;
    std::uint16_t entryCount = 0;
    std::uint16_t version = 0;
    std::uint16_t reserved = 0;
    std::uint32_t directoryOffset = 0;
};

/// One directory record, byte for byte as on disk: byte 0 ignored, identifier at byte 1, byte 3
/// ignored, data offset at byte 4, data size at byte 8.
struct ResourceEntry {
    std::array<std::uint8_t, kResourceEntrySize> bytes{};

    ResourceId id() const;
    std::uint32_t dataOffset() const;
    std::uint32_t dataSize() const;
};
static_assert(sizeof(ResourceEntry) == kResourceEntrySize);

/// Opens a container. readOnly: the existing file, shared for reading only; error 4 when it
/// cannot be opened. Otherwise: the existing file for exclusive reading and writing, or, when
/// that open fails, a new empty container made by CreateResourceFile (not validated). The header
/// is checked (errors 1, 2, 3). INVALID_HANDLE_VALUE on any failure, with the file closed.
win::HANDLE OpenResourceFile(const char* fileName, bool readOnly);

/// Creates (or replaces) a container holding only its header; the handle is positioned at 14.
/// Error 4 when the file cannot be created (a file held open elsewhere is never replaced), 1
/// when the header cannot be written.
win::HANDLE CreateResourceFile(const char* fileName);

/// Closes the handle; does nothing while an error is pending.
void CloseResourceFile(win::HANDLE file);

/// Returns the calling thread's pending error and clears it.
std::int32_t GetResourceError();

/// Reads the header; success only by GetResourceError. Error 4 for an invalid handle.
void ReadResourceHeader(win::HANDLE file, ResourceHeader* header);

/// A new copy of the directory (free it with free), or null: on failure, and without an error
/// for an empty container. *count receives the header's entryCount unless the header read fails.
ResourceEntry* ReadResourceDirectory(win::HANDLE file, std::uint16_t* count);

/// Finds the first record with the low 16 bits of id and copies it into *entry. Outcome only in
/// ResourceError: 6 not found (also for a null directory), 7 for a null entry. This form searches
/// as many records as the header says now; a copy read before another program rewrote the file
/// may hold fewer, so prefer the form below, which takes the copy's own count.
void FindResourceEntry(win::HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       ResourceEntry* entry);

/// FindResourceEntry over the first count records of the copy: the count ReadResourceDirectory
/// gave with it. The header is still read (errors 1 and 4), but its count is not used.
void FindResourceEntry(win::HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint16_t count, ResourceEntry* entry);

/// A new buffer with the entry's data and its size, or null with size 0. An empty entry gives a
/// valid buffer. Data that do not lie inside the file give error 1 before anything is allocated
/// for them. Searches as the four-argument FindResourceEntry does.
void* ReadResourceData(win::HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint32_t* size);

/// ReadResourceData searching only the copy's count records, as the five-argument
/// FindResourceEntry does: for a caller that holds a copy of the directory, which the file may
/// no longer match.
void* ReadResourceData(win::HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint16_t count, std::uint32_t* size);

/// A new NUL-terminated copy of a text entry; "" (still to be freed) for any failure, including
/// no memory for the copy. Leaves no error pending, and consumes one that was pending on entry.
/// Never null, unless the heap cannot give even the one byte of "": then null (free accepts it,
/// and format::FormatText reads it as "").
char* ReadResourceString(win::HANDLE file, std::uint32_t id);

/// The entry's data offset, and its size in *size. A failure stays pending for the caller, who
/// must not use the offset and size then.
std::uint32_t GetResourceLocation(win::HANDLE file, std::uint32_t id, std::uint32_t* size);

/// A picture built from a bitmap entry (a BMP file image), or null; the caller owns it. The
/// image is checked first: a signature other than "BM", a header or colour table or pixel array
/// that does not lie inside the entry, or a format the picture cannot take gives null. Leaves no
/// error pending.
win::HBITMAP LoadResourceBitmap(win::HANDLE file, std::uint32_t id);

/// Reads size bytes at offset of the container under the container lock, as one positioning
/// and read that no other container read can come between. The offset is a signed 32-bit seek
/// distance: 2,147,483,648 or more fails. *bytesRead receives what arrived (fewer at the end of
/// the file). False when the seek or the read fails. Touches no ResourceError.
bool ReadResourceBytesAt(win::HANDLE file, std::uint32_t offset, void* buffer, std::uint32_t size,
                         std::uint32_t* bytesRead);

/// Positions the container handle under the container lock. False when the seek fails.
bool SeekResourceFile(win::HANDLE file, std::uint32_t offset);

/// Frees what the module's operations return.
struct FreeDeleter {
    void operator()(void* memory) const noexcept { std::free(memory); }
};
/// A text owned by its holder, freed with free.
using ResourceText = std::unique_ptr<char, FreeDeleter>;

/// ReadResourceString, owned.
inline ResourceText ReadResourceText(win::HANDLE file, std::uint32_t id) {
    return ResourceText(ReadResourceString(file, id));
}
