// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/StorageStream.h"

#include "platform/linux/storage/AccessModes.h"
#include "platform/linux/storage/ElementStat.h"
#include "platform/linux/storage/OutOfMemory.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

namespace platform::layer {

using namespace win;

namespace {

// The piece CopyTo moves at a time, on the stack.
constexpr ULONG kCopyPiece = 64 * 1024;

} // namespace

StorageStream::StorageStream(std::shared_ptr<StorageFile> file, std::shared_ptr<StreamEntry> entry,
                             std::u16string name, DWORD mode)
    : file_(std::move(file)), entry_(std::move(entry)), name_(std::move(name)), mode_(mode) {
}

StorageStream::~StorageStream() {
    file_->closeStream(*entry_);
}

HRESULT StorageStream::QueryInterface(REFIID iid, void** object) {
    // IStream extends ISequentialStream, so one table serves both.
    if (iid == IID_ISequentialStream && object != nullptr) {
        *object = static_cast<ISequentialStream*>(static_cast<IStream*>(this));
        AddRef();
        return S_OK;
    }
    return ComObject::QueryInterface(iid, object);
}

HRESULT StorageStream::Read(void* buffer, ULONG size, ULONG* read) {
    if (buffer == nullptr)
        return STG_E_INVALIDPOINTER;
    if (!ModeReads(mode_))
        return STG_E_ACCESSDENIED;
    ULONG got = 0;
    const HRESULT result = file_->read(*entry_, position_, buffer, size, &got);
    position_ += got;
    if (read != nullptr)
        *read = got;
    return result;
}

HRESULT StorageStream::Write(const void* buffer, ULONG size, ULONG* written) {
    if (buffer == nullptr)
        return STG_E_INVALIDPOINTER;
    if (!ModeWrites(mode_))
        return STG_E_ACCESSDENIED;
    ULONG put = 0;
    const HRESULT result = ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        return file_->write(*entry_, position_, buffer, size, &put);
    });
    position_ += put;
    if (written != nullptr)
        *written = put;
    return result;
}

HRESULT StorageStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) {
    std::uint64_t end = 0;
    const HRESULT known = file_->size(*entry_, &end);
    if (FAILED(known))
        return known;
    std::uint64_t base = 0;
    switch (origin) {
    case STREAM_SEEK_SET:
        base = 0;
        break;
    case STREAM_SEEK_CUR:
        base = position_;
        break;
    case STREAM_SEEK_END:
        base = end;
        break;
    default:
        return STG_E_INVALIDFUNCTION;
    }
    const auto distance = static_cast<std::uint64_t>(move.QuadPart);
    std::uint64_t target = 0;
    if (origin == STREAM_SEEK_SET || move.QuadPart >= 0) {
        if (distance > std::numeric_limits<std::uint64_t>::max() - base)
            return STG_E_INVALIDFUNCTION;
        target = base + distance;
    } else {
        // The magnitude of a negative distance, without overflow for the most negative one.
        const std::uint64_t back = ~distance + 1;
        if (back > base)
            return STG_E_INVALIDFUNCTION;
        target = base - back;
    }
    position_ = target;
    if (newPosition != nullptr)
        newPosition->QuadPart = position_;
    return S_OK;
}

HRESULT StorageStream::SetSize(ULARGE_INTEGER size) {
    if (!ModeWrites(mode_))
        return STG_E_ACCESSDENIED;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY,
                             [&] { return file_->setSize(*entry_, size.QuadPart); });
}

HRESULT StorageStream::CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                              ULARGE_INTEGER* written) {
    if (target == nullptr)
        return STG_E_INVALIDPOINTER;
    if (!ModeReads(mode_))
        return STG_E_ACCESSDENIED;
    std::array<unsigned char, kCopyPiece> piece;
    std::uint64_t copiedIn = 0;
    std::uint64_t copiedOut = 0;
    HRESULT result = S_OK;
    while (copiedIn < size.QuadPart) {
        const auto wanted =
            static_cast<ULONG>(std::min<std::uint64_t>(kCopyPiece, size.QuadPart - copiedIn));
        ULONG got = 0;
        result = file_->read(*entry_, position_, piece.data(), wanted, &got);
        position_ += got;
        copiedIn += got;
        if (FAILED(result) || got == 0)
            break;
        ULONG put = 0;
        result = target->Write(piece.data(), got, &put);
        copiedOut += put;
        if (SUCCEEDED(result) && put < got)
            result = STG_E_MEDIUMFULL;
        if (FAILED(result))
            break;
    }
    if (read != nullptr)
        read->QuadPart = copiedIn;
    if (written != nullptr)
        written->QuadPart = copiedOut;
    return FAILED(result) ? result : S_OK;
}

HRESULT StorageStream::Commit(DWORD) {
    return file_->state();
}

HRESULT StorageStream::Revert() {
    return file_->state();
}

HRESULT StorageStream::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT StorageStream::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) {
    return STG_E_INVALIDFUNCTION;
}

HRESULT StorageStream::Stat(STATSTG* stat, DWORD flags) {
    if (stat == nullptr)
        return STG_E_INVALIDPOINTER;
    std::uint64_t size = 0;
    const HRESULT known = file_->size(*entry_, &size);
    if (FAILED(known))
        return known;
    return DescribeElement(name_, STGTY_STREAM, size, mode_, flags, stat);
}

HRESULT StorageStream::Clone(IStream** copy) {
    if (copy != nullptr)
        *copy = nullptr;
    return E_NOTIMPL;
}

HRESULT StorageStream::ReadAt(std::uint64_t offset, void* buffer, ULONG size, ULONG* read) {
    if (buffer == nullptr || read == nullptr)
        return STG_E_INVALIDPOINTER;
    return file_->read(*entry_, offset, buffer, size, read);
}

HRESULT StorageStream::GetSize(std::uint64_t* size) {
    if (size == nullptr)
        return STG_E_INVALIDPOINTER;
    return file_->size(*entry_, size);
}

} // namespace platform::layer
