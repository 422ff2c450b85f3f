// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/StorageFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>
#include <utility>

namespace platform::layer {

using namespace win;

namespace {

HRESULT WriteFailure(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG ? STG_E_MEDIUMFULL
                                                                : STG_E_WRITEFAULT;
}

// Reads one run in full. Past the end of the file lies space handed out but never written: a
// hole, so zeros.
HRESULT ReadRun(int file, const FileRun& run, unsigned char* buffer) {
    std::uint64_t done = 0;
    while (done < run.length) {
        const ssize_t got = ::pread(file, buffer + done, run.length - done,
                                    static_cast<off_t>(run.fileOffset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return STG_E_READFAULT;
        if (got == 0) {
            std::memset(buffer + done, 0, run.length - done);
            break;
        }
        done += static_cast<std::uint64_t>(got);
    }
    return S_OK;
}

} // namespace

StorageFile::StorageFile(ScopedDescriptor file) : file_(std::move(file)) {
}

HRESULT StorageFile::createStream(const std::u16string& name, bool replace,
                                  std::shared_ptr<StreamEntry>* entry) {
    auto created = std::make_shared<StreamEntry>();
    created->open = true;
    std::u16string key = name;
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    const auto found = directory_.find(name);
    if (found == directory_.end()) {
        directory_.emplace(std::move(key), created);
    } else {
        if (!replace)
            return STG_E_FILEALREADYEXISTS;
        if (found->second->open)
            return STG_E_ACCESSDENIED;
        const std::vector<FileRun> old = found->second->extents.runs();
        // The new stream takes the name as now spelt: "BOOT" replaces "Boot".
        auto node = directory_.extract(found);
        node.key() = std::move(key);
        node.mapped() = created;
        directory_.insert(std::move(node));
        giveBack(old);
    }
    *entry = std::move(created);
    return S_OK;
}

HRESULT StorageFile::openStream(const std::u16string& name, std::shared_ptr<StreamEntry>* entry) {
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    const auto found = directory_.find(name);
    if (found == directory_.end())
        return STG_E_FILENOTFOUND;
    if (found->second->open)
        return STG_E_ACCESSDENIED;
    found->second->open = true;
    *entry = found->second;
    return S_OK;
}

void StorageFile::closeStream(StreamEntry& entry) {
    const std::lock_guard lock(mutex_);
    entry.open = false;
}

HRESULT StorageFile::destroyStream(const std::u16string& name) {
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    const auto found = directory_.find(name);
    if (found == directory_.end())
        return STG_E_FILENOTFOUND;
    if (found->second->open)
        return STG_E_ACCESSDENIED;
    const std::vector<FileRun> old = found->second->extents.runs();
    directory_.erase(found);
    giveBack(old);
    return S_OK;
}

std::vector<ElementInfo> StorageFile::elements() const {
    const std::lock_guard lock(mutex_);
    std::vector<ElementInfo> listed;
    listed.reserve(directory_.size());
    for (const auto& [name, entry] : directory_)
        listed.push_back({name, entry->extents.size()});
    return listed;
}

HRESULT StorageFile::read(const StreamEntry& entry, std::uint64_t position, void* buffer,
                          ULONG size, ULONG* read) const {
    *read = 0;
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    const std::uint64_t stored = entry.extents.size();
    if (position >= stored)
        return S_OK;
    const auto wanted = static_cast<ULONG>(std::min<std::uint64_t>(size, stored - position));
    auto* bytes = static_cast<unsigned char*>(buffer);
    while (*read < wanted) {
        const FileRun run = entry.extents.locate(position + *read, wanted - *read);
        const HRESULT result = ReadRun(file_.get(), run, bytes + *read);
        if (FAILED(result))
            return result;
        *read += static_cast<ULONG>(run.length);
    }
    return S_OK;
}

HRESULT StorageFile::write(StreamEntry& entry, std::uint64_t position, const void* buffer,
                           ULONG size, ULONG* written) {
    *written = 0;
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    if (size == 0)
        return S_OK;
    if (position > std::numeric_limits<std::uint64_t>::max() - size ||
        !entry.extents.reserve(position + size, space_))
        return STG_E_MEDIUMFULL;
    const auto* bytes = static_cast<const unsigned char*>(buffer);
    HRESULT result = S_OK;
    while (*written < size) {
        const FileRun run = entry.extents.locate(position + *written, size - *written);
        const ssize_t put =
            ::pwrite(file_.get(), bytes + *written, run.length, static_cast<off_t>(run.fileOffset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            result = WriteFailure(put == 0 ? ENOSPC : errno);
            break;
        }
        *written += static_cast<ULONG>(put);
    }
    if (*written > 0)
        entry.extents.grow(position + *written);
    return result;
}

HRESULT StorageFile::setSize(StreamEntry& entry, std::uint64_t size) {
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    if (size < entry.extents.size()) {
        giveBack(entry.extents.truncate(size));
        return S_OK;
    }
    if (!entry.extents.reserve(size, space_))
        return STG_E_MEDIUMFULL;
    entry.extents.grow(size);
    return S_OK;
}

HRESULT StorageFile::size(const StreamEntry& entry, std::uint64_t* size) const {
    const std::lock_guard lock(mutex_);
    if (!file_)
        return STG_E_REVERTED;
    *size = entry.extents.size();
    return S_OK;
}

HRESULT StorageFile::state() const {
    const std::lock_guard lock(mutex_);
    return file_ ? S_OK : STG_E_REVERTED;
}

void StorageFile::revert() {
    const std::lock_guard lock(mutex_);
    file_.reset();
    directory_.clear();
}

// Punches the runs out of the file so that its blocks return to the file system now rather than
// when the storage goes. Best effort: a file system that cannot punch keeps them until then.
void StorageFile::giveBack(const std::vector<FileRun>& runs) {
    for (const FileRun& run : runs)
        ::fallocate(file_.get(), FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE,
                    static_cast<off_t>(run.fileOffset), static_cast<off_t>(run.length));
}

} // namespace platform::layer
