// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The state of one temporary storage, which its root storage object and its open streams share:
// the unlinked file, the directory of stream names, and each stream's extents. One lock guards
// it, so a stream's bytes may be read from any thread. Reverting it (when the root storage's
// last reference goes) closes the file; from then on every operation reports STG_E_REVERTED.

#include "platform/Storage.h"
#include "platform/linux/storage/ElementName.h"
#include "platform/linux/storage/ExtentMap.h"
#include "platform/linux/storage/TempFile.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace platform::layer {

/// One stream of the directory.
struct StreamEntry {
    ExtentMap extents;
    // A stream is opened by one object at a time, as in a compound file.
    bool open = false;
};

/// What the element enumerator tells of one stream.
struct ElementInfo {
    std::u16string name;
    std::uint64_t size;
};

class StorageFile {
public:
    explicit StorageFile(ScopedDescriptor file);

    /// Adds an empty stream and marks it open. An existing one of that name is replaced when
    /// replace is set: STG_E_FILEALREADYEXISTS otherwise, STG_E_ACCESSDENIED while it is open.
    /// Throws std::bad_alloc.
    win::HRESULT createStream(const std::u16string& name, bool replace,
                              std::shared_ptr<StreamEntry>* entry);
    /// Marks an existing stream open. STG_E_FILENOTFOUND, STG_E_ACCESSDENIED (already open).
    win::HRESULT openStream(const std::u16string& name, std::shared_ptr<StreamEntry>* entry);
    /// Marks a stream closed again.
    void closeStream(StreamEntry& entry);
    /// Removes a stream and gives its space back. STG_E_FILENOTFOUND, STG_E_ACCESSDENIED (open).
    win::HRESULT destroyStream(const std::u16string& name);
    /// The streams in directory order. Throws std::bad_alloc.
    std::vector<ElementInfo> elements() const;

    /// Reads up to size bytes of the stream from position on; *read = what was read (less only
    /// at its end). STG_E_READFAULT.
    win::HRESULT read(const StreamEntry& entry, std::uint64_t position, void* buffer,
                      win::ULONG size, win::ULONG* read) const;
    /// Writes size bytes at position, growing the stream; *written = what reached the file.
    /// STG_E_MEDIUMFULL (no space, then *written tells how much did), STG_E_WRITEFAULT.
    win::HRESULT write(StreamEntry& entry, std::uint64_t position, const void* buffer,
                       win::ULONG size, win::ULONG* written);
    /// Grows (with zeros) or cuts the stream. STG_E_MEDIUMFULL. Throws std::bad_alloc.
    win::HRESULT setSize(StreamEntry& entry, std::uint64_t size);
    /// *size = the stream's size.
    win::HRESULT size(const StreamEntry& entry, std::uint64_t* size) const;

    /// S_OK while the storage lives, STG_E_REVERTED once it is gone.
    win::HRESULT state() const;

    /// Closes the file and forgets the directory.
    void revert();

private:
    void giveBack(const std::vector<FileRun>& runs);

    mutable std::mutex mutex_;
    ScopedDescriptor file_;
    FileSpace space_;
    std::map<std::u16string, std::shared_ptr<StreamEntry>, ElementNameLess> directory_;
};

} // namespace platform::layer
