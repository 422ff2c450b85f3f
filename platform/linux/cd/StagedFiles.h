// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The files AddData staged for the next disc: each is a stream of a caller's storage, opened
// again only when the disc is recorded. The disc master keeps a reference to every storage it
// stages from, so the caller may release its own at once.

#include "platform/ComPtr.h"
#include "platform/Storage.h"
#include "platform/linux/storage/StreamBytes.h"

#include <string>
#include <vector>

namespace platform::layer {

struct StagedFile {
    /// The file's name on the disc, exactly as the stream is named.
    std::u16string name;
    /// The same name in UTF-8, as libisofs takes it.
    std::string isoName;
    /// The name's key (NameKey): names with the same key are the same file.
    std::u16string key;
    /// The storage that holds the stream.
    ComPtr<win::IStorage> storage;

    /// Opens the stream for reading, for positioned reads from any thread for as long as
    /// *bytes is held. IMAPI_E_FILEACCESS when it cannot be opened (gone, open elsewhere) or
    /// is not one of this layer's streams.
    win::HRESULT open(ComPtr<IStreamBytes>* bytes) const;
};

class StagedFiles {
public:
    /// Stages every stream of the storage as a file of the disc's root folder, or nothing: a
    /// failure leaves the staged files as they were. A staged file of the same name (in any
    /// case) is replaced when overwrite is set. Failures: E_POINTER (no storage),
    /// IMAPI_E_BADJOLIETNAME (a name the disc cannot carry unchanged, see JolietFileName),
    /// IMAPI_E_FILEEXISTS (a name staged before without overwrite, or twice in the storage),
    /// E_NOTIMPL (a storage inside the storage: folders are not built), IMAPI_E_FILEACCESS (a
    /// stream that cannot be opened for reading, or is not one of this layer's), E_OUTOFMEMORY,
    /// or what the storage's enumeration reports.
    win::HRESULT add(win::IStorage* storage, bool overwrite);

    const std::vector<StagedFile>& files() const { return files_; }

    /// Forgets every staged file and the storages they came from.
    void clear() { files_.clear(); }

private:
    std::vector<StagedFile> files_;
};

} // namespace platform::layer
