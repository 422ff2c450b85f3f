// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A stream of a temporary storage, opened in one mode with its own seek pointer. Its bytes live
// in the storage's file. It answers for IStream, ISequentialStream and the layer's
// IStreamBytes. When the storage goes, every method but Release reports STG_E_REVERTED. Its
// IStream methods are for one thread at a time, as COM's apartments have it; IStreamBytes may
// be used from any.

#include "platform/linux/com/ComObject.h"
#include "platform/linux/storage/StorageFile.h"
#include "platform/linux/storage/StorageIds.h"

#include <memory>
#include <string>

namespace platform::layer {

class StorageStream final : public ComObject<win::IStream, IStreamBytes> {
public:
    /// Takes over the open mark of entry, which the stream clears when it goes.
    StorageStream(std::shared_ptr<StorageFile> file, std::shared_ptr<StreamEntry> entry,
                  std::u16string name, win::DWORD mode);
    ~StorageStream() override;

    win::HRESULT STDMETHODCALLTYPE QueryInterface(win::REFIID iid, void** object) override;

    // ISequentialStream. A null count pointer is allowed.
    /// Reads at the seek pointer and moves it by what was read; fewer bytes only at the end.
    /// STG_E_INVALIDPOINTER, STG_E_ACCESSDENIED (a write-only stream), STG_E_READFAULT.
    win::HRESULT STDMETHODCALLTYPE Read(void* buffer, win::ULONG size, win::ULONG* read) override;
    /// Writes at the seek pointer, growing the stream, and moves it by what was written.
    /// STG_E_INVALIDPOINTER, STG_E_ACCESSDENIED (a read-only stream), STG_E_MEDIUMFULL (with the
    /// count of what was written), STG_E_WRITEFAULT, STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE Write(const void* buffer, win::ULONG size,
                                         win::ULONG* written) override;

    // IStream
    /// STREAM_SEEK_SET takes move as unsigned; STG_E_INVALIDFUNCTION for another origin or a
    /// position before the start or beyond 2^64 - 1. Positions past the end are allowed.
    win::HRESULT STDMETHODCALLTYPE Seek(win::LARGE_INTEGER move, win::DWORD origin,
                                        win::ULARGE_INTEGER* newPosition) override;
    /// Grows (the new bytes read as zeros) or cuts the stream; the seek pointer stays.
    /// STG_E_ACCESSDENIED (a read-only stream), STG_E_MEDIUMFULL, STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE SetSize(win::ULARGE_INTEGER size) override;
    /// Copies up to size bytes, stopping at this stream's end, in pieces through target's Write;
    /// read and written (may be null) tell how far it got. STG_E_INVALIDPOINTER (no target),
    /// STG_E_ACCESSDENIED (a write-only stream), what target's Write reports, or
    /// STG_E_MEDIUMFULL when it took fewer bytes than given.
    win::HRESULT STDMETHODCALLTYPE CopyTo(win::IStream* target, win::ULARGE_INTEGER size,
                                          win::ULARGE_INTEGER* read,
                                          win::ULARGE_INTEGER* written) override;
    /// Direct mode: every write is in the file at once, so these have nothing to do.
    win::HRESULT STDMETHODCALLTYPE Commit(win::DWORD flags) override;
    win::HRESULT STDMETHODCALLTYPE Revert() override;
    /// STG_E_INVALIDFUNCTION: the streams of a compound file lock no regions.
    win::HRESULT STDMETHODCALLTYPE LockRegion(win::ULARGE_INTEGER offset, win::ULARGE_INTEGER size,
                                              win::DWORD lockType) override;
    win::HRESULT STDMETHODCALLTYPE UnlockRegion(win::ULARGE_INTEGER offset,
                                                win::ULARGE_INTEGER size,
                                                win::DWORD lockType) override;
    /// Name (unless STATFLAG_NONAME), STGTY_STREAM, size and open mode.
    win::HRESULT STDMETHODCALLTYPE Stat(win::STATSTG* stat, win::DWORD flags) override;
    /// E_NOTIMPL.
    win::HRESULT STDMETHODCALLTYPE Clone(win::IStream** copy) override;

    // IStreamBytes
    win::HRESULT STDMETHODCALLTYPE ReadAt(std::uint64_t offset, void* buffer, win::ULONG size,
                                          win::ULONG* read) override;
    win::HRESULT STDMETHODCALLTYPE GetSize(std::uint64_t* size) override;

private:
    std::shared_ptr<StorageFile> file_;
    std::shared_ptr<StreamEntry> entry_;
    std::u16string name_;
    win::DWORD mode_;
    std::uint64_t position_ = 0;
};

} // namespace platform::layer
