// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The layer's own way into the bytes of a stream of a temporary storage, for the disc master
// that stages such streams onto a disc: positioned reads that leave the stream's seek pointer
// alone and may come from any thread. QueryInterface of one of these streams for
// IID_IStreamBytes gives it; other streams do not offer it. The bytes stay readable for as long
// as the stream's storage lives (its last reference), not the stream's own.

#include "platform/Storage.h"

#include <cstdint>

namespace platform::layer {

inline constexpr win::IID IID_IStreamBytes = {
    0x09351F37, 0x61C8, 0x4EA4, {0xBE, 0x5D, 0x69, 0x88, 0xF8, 0x8E, 0x07, 0x89}};

struct IStreamBytes : public win::IUnknown {
    /// Copies up to size bytes of the stream from offset on into buffer and stores their count
    /// in *read: fewer only at the stream's end. The stream's access mode does not apply: the
    /// layer reads what a write-only stream holds. Failures: STG_E_INVALIDPOINTER (buffer or
    /// read null), STG_E_REVERTED (the storage is gone), STG_E_READFAULT.
    virtual win::HRESULT STDMETHODCALLTYPE ReadAt(std::uint64_t offset, void* buffer,
                                                  win::ULONG size, win::ULONG* read) = 0;
    /// Stores the stream's size now in *size. STG_E_INVALIDPOINTER, STG_E_REVERTED.
    virtual win::HRESULT STDMETHODCALLTYPE GetSize(std::uint64_t* size) = 0;

protected:
    ~IStreamBytes() = default;
};

} // namespace platform::layer
