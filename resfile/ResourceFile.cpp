// SPDX-License-Identifier: GPL-2.0-or-later
// The container reader. Each operation keeps the sticky-error discipline: it does nothing while
// an error is pending, and otherwise sets the error at the first step that fails, releasing
// whatever it had allocated. Every positioning of the container handle and the reads that follow
// it happen under one process-wide lock, so threads sharing the handle never move its position
// under each other.

#include "resfile/ResourceFile.h"

#include "platform/Files.h"
#include "platform/Lock.h"
#include "platform/NoDestructor.h"
#include "platform/ScopedHandle.h"
#include "resfile/Bitmap.h"
#include "resfile/LittleEndian.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <utility>

using namespace win;

namespace {

constexpr std::uint16_t kNewReserved = 0;
constexpr DWORD kNoSharing = 0;
constexpr DWORD kNoFlags = 0;
constexpr std::size_t kTerminatorSize = 1;
constexpr int kHighPartShift = 32;

using HeaderBytes = std::array<std::uint8_t, kResourceHeaderSize>;

// Kept per thread: a failure on one thread never reaches another's operations.
thread_local std::int32_t tls_resourceError = kResourceOk;

bool ErrorPending() {
    return tls_resourceError != kResourceOk;
}

void Fail(ResourceErrorCode code) {
    tls_resourceError = code;
}

using DirectoryCopy = std::unique_ptr<ResourceEntry, FreeDeleter>;
using DataBuffer = std::unique_ptr<std::uint8_t, FreeDeleter>;

platform::Lock& ContainerLock() {
    // Never destroyed: job threads may still read while the process ends.
    static platform::NoDestructor<platform::Lock> lock;
    return lock.get();
}

// One stretch of exclusive access to the container handle: a positioning and the reads that
// depend on it.
class ContainerAccess {
public:
    ContainerAccess() : guard_(ContainerLock()) {}

    // The offset is a signed 32-bit distance: 2^31 and above fail.
    bool seek(HANDLE file, std::uint32_t offset) const {
        return SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) !=
               INVALID_SET_FILE_POINTER;
    }

    bool read(HANDLE file, void* buffer, std::uint32_t size, std::uint32_t* bytesRead) const {
        DWORD transferred = 0;
        const bool done = ReadFile(file, buffer, size, &transferred, nullptr) != FALSE;
        *bytesRead = transferred;
        return done;
    }

    // False when the read fails or comes back short.
    bool readExactly(HANDLE file, void* buffer, std::uint32_t size) const {
        std::uint32_t transferred = 0;
        return read(file, buffer, size, &transferred) && transferred == size;
    }

    // The file's length; moves the position to the end.
    std::optional<std::uint64_t> length(HANDLE file) const {
        LONG high = 0;
        SetLastError(ERROR_SUCCESS);
        const DWORD low = SetFilePointer(file, 0, &high, FILE_END);
        if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
            return std::nullopt;
        return static_cast<std::uint64_t>(static_cast<DWORD>(high)) << kHighPartShift | low;
    }

private:
    platform::LockGuard guard_;
};

ResourceHeader DecodeHeader(const HeaderBytes& bytes) {
    ResourceHeader header;
    header.magic = le::Read32(bytes.data() + kHeaderMagicAt);
    header.entryCount = le::Read16(bytes.data() + kHeaderEntryCountAt);
    header.version = le::Read16(bytes.data() + kHeaderVersionAt);
    header.reserved = le::Read16(bytes.data() + kHeaderReservedAt);
    header.directoryOffset = le::Read32(bytes.data() + kHeaderDirectoryOffsetAt);
    return header;
}

HeaderBytes EncodeEmptyHeader() {
    HeaderBytes bytes{};
    le::Write32(bytes.data() + kHeaderMagicAt, kResourceMagic);
    le::Write16(bytes.data() + kHeaderEntryCountAt, 0);
    le::Write16(bytes.data() + kHeaderVersionAt, kResourceVersion);
    le::Write16(bytes.data() + kHeaderReservedAt, kNewReserved);
    le::Write32(bytes.data() + kHeaderDirectoryOffsetAt, kResourceHeaderSize);
    return bytes;
}

// Creates a container holding only its header. disposition: CREATE_ALWAYS replaces a file of
// that name, CREATE_NEW refuses one.
HANDLE CreateContainer(const char* fileName, DWORD disposition) {
    if (ErrorPending())
        return INVALID_HANDLE_VALUE;
    platform::FileHandle file(CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, kNoSharing,
                                          nullptr, disposition, kNoFlags, nullptr));
    if (!file) {
        Fail(kResourceCannotOpen);
        return INVALID_HANDLE_VALUE;
    }
    const HeaderBytes header = EncodeEmptyHeader();
    DWORD written = 0;
    if (!WriteFile(file.get(), header.data(), kResourceHeaderSize, &written, nullptr) ||
        written != kResourceHeaderSize) {
        Fail(kResourceIoError);
        return INVALID_HANDLE_VALUE;
    }
    return file.release();
}

// malloc for a size that a 32-bit target may not be able to express: null then.
std::uint8_t* AllocateBytes(std::uint64_t size) {
    if (size > std::numeric_limits<std::size_t>::max())
        return nullptr;
    return static_cast<std::uint8_t*>(std::malloc(static_cast<std::size_t>(size)));
}

// Walks the first count records of the copy for the low 16 bits of id; the first match wins.
void SearchDirectory(std::uint32_t id, const ResourceEntry* directory, std::uint16_t count,
                     ResourceEntry* entry) {
    if (!directory) {
        Fail(kResourceNotFound);
        return;
    }
    if (!entry) {
        Fail(kResourceNoPlaceForEntry);
        return;
    }
    const auto wanted = static_cast<ResourceId>(id);
    const ResourceEntry* end = directory + count;
    const ResourceEntry* found = std::find_if(
        directory, end, [wanted](const ResourceEntry& record) { return record.id() == wanted; });
    if (found == end) {
        Fail(kResourceNotFound);
        return;
    }
    *entry = *found;
}

// The entry's data in a new buffer with `spare` bytes to spare behind it, and never of zero
// bytes, so that an empty entry still gets a valid buffer. Null with *size 0 on failure. Data
// that run past the end of the file would fail their read anyway; they are refused before
// anything is allocated for them, so a bogus size cannot claim gigabytes.
std::uint8_t* ReadEntryData(HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                            std::uint16_t count, std::uint32_t* size, std::size_t spare) {
    *size = 0;
    ResourceEntry entry;
    FindResourceEntry(file, id, directory, count, &entry);
    if (ErrorPending())
        return nullptr;

    const std::uint32_t dataSize = entry.dataSize();
    ContainerAccess access;
    const std::optional<std::uint64_t> fileLength = access.length(file);
    if (!fileLength ||
        (dataSize != 0 && std::uint64_t{entry.dataOffset()} + dataSize > *fileLength) ||
        !access.seek(file, entry.dataOffset())) {
        Fail(kResourceIoError);
        return nullptr;
    }
    DataBuffer data(AllocateBytes(std::max<std::uint64_t>(std::uint64_t{dataSize} + spare, 1)));
    if (!data) {
        Fail(kResourceNoMemory);
        return nullptr;
    }
    if (!access.readExactly(file, data.get(), dataSize)) {
        Fail(kResourceIoError);
        return nullptr;
    }
    *size = dataSize;
    return data.release();
}

// A new "", or when not even one byte can be had, the directory copy that was about to be
// released, reused as "". Null only when neither exists.
char* EmptyText(DirectoryCopy directory) {
    char* text = static_cast<char*>(std::malloc(kTerminatorSize));
    if (!text)
        text = reinterpret_cast<char*>(directory.release());
    if (text)
        *text = '\0';
    return text;
}

} // namespace

ResourceId ResourceEntry::id() const {
    return le::Read16(bytes.data() + kEntryIdAt);
}

std::uint32_t ResourceEntry::dataOffset() const {
    return le::Read32(bytes.data() + kEntryDataOffsetAt);
}

std::uint32_t ResourceEntry::dataSize() const {
    return le::Read32(bytes.data() + kEntryDataSizeAt);
}

HANDLE OpenResourceFile(const char* fileName, bool readOnly) {
    if (ErrorPending())
        return INVALID_HANDLE_VALUE;
    HANDLE opened = readOnly ? CreateFileA(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, kNoFlags, nullptr)
                             : CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, kNoSharing,
                                           nullptr, OPEN_EXISTING, kNoFlags, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        if (readOnly) {
            Fail(kResourceCannotOpen);
            return INVALID_HANDLE_VALUE;
        }
        // Only a file that does not exist is made anew: one that exists but cannot be opened
        // (held open elsewhere, no write access) is never replaced.
        return CreateContainer(fileName, CREATE_NEW);
    }
    platform::FileHandle file(opened);

    HeaderBytes bytes;
    std::uint32_t transferred = 0;
    if (!ReadResourceBytesAt(file.get(), 0, bytes.data(), kResourceHeaderSize, &transferred) ||
        transferred != kResourceHeaderSize) {
        Fail(kResourceIoError);
        return INVALID_HANDLE_VALUE;
    }
    const ResourceHeader header = DecodeHeader(bytes);
    if (header.magic != kResourceMagic) {
        Fail(kResourceBadMagic);
        return INVALID_HANDLE_VALUE;
    }
    if (header.version > kResourceVersion) {
        Fail(kResourceBadVersion);
        return INVALID_HANDLE_VALUE;
    }
    return file.release();
}

HANDLE CreateResourceFile(const char* fileName) {
    return CreateContainer(fileName, CREATE_ALWAYS);
}

void CloseResourceFile(HANDLE file) {
    if (ErrorPending())
        return;
    CloseHandle(file);
}

std::int32_t GetResourceError() {
    return std::exchange(tls_resourceError, kResourceOk);
}

void ReadResourceHeader(HANDLE file, ResourceHeader* header) {
    if (ErrorPending())
        return;
    if (file == INVALID_HANDLE_VALUE) {
        Fail(kResourceCannotOpen);
        return;
    }
    HeaderBytes bytes;
    ContainerAccess access;
    if (!access.seek(file, 0) || !access.readExactly(file, bytes.data(), kResourceHeaderSize)) {
        Fail(kResourceIoError);
        return;
    }
    *header = DecodeHeader(bytes);
}

ResourceEntry* ReadResourceDirectory(HANDLE file, std::uint16_t* count) {
    ResourceHeader header;
    ReadResourceHeader(file, &header);
    if (ErrorPending())
        return nullptr;
    *count = header.entryCount;
    if (header.entryCount == 0)
        return nullptr;

    DirectoryCopy directory(static_cast<ResourceEntry*>(
        std::malloc(std::size_t{header.entryCount} * kResourceEntrySize)));
    if (!directory) {
        Fail(kResourceNoMemory);
        return nullptr;
    }
    ContainerAccess access;
    if (!access.seek(file, header.directoryOffset)) {
        Fail(kResourceIoError);
        return nullptr;
    }
    for (std::size_t i = 0; i < header.entryCount; ++i) {
        if (!access.readExactly(file, directory.get()[i].bytes.data(), kResourceEntrySize)) {
            Fail(kResourceIoError);
            return nullptr;
        }
    }
    return directory.release();
}

void FindResourceEntry(HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       ResourceEntry* entry) {
    ResourceHeader header;
    ReadResourceHeader(file, &header);
    if (ErrorPending())
        return;
    SearchDirectory(id, directory, header.entryCount, entry);
}

void FindResourceEntry(HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint16_t count, ResourceEntry* entry) {
    ResourceHeader header;
    ReadResourceHeader(file, &header);
    if (ErrorPending())
        return;
    SearchDirectory(id, directory, count, entry);
}

void* ReadResourceData(HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint32_t* size) {
    ResourceHeader header;
    ReadResourceHeader(file, &header);
    if (ErrorPending()) {
        *size = 0;
        return nullptr;
    }
    return ReadEntryData(file, id, directory, header.entryCount, size, 0);
}

void* ReadResourceData(HANDLE file, std::uint32_t id, const ResourceEntry* directory,
                       std::uint16_t count, std::uint32_t* size) {
    return ReadEntryData(file, id, directory, count, size, 0);
}

char* ReadResourceString(HANDLE file, std::uint32_t id) {
    std::uint16_t count = 0;
    DirectoryCopy directory(ReadResourceDirectory(file, &count));
    std::uint32_t size = 0;
    DataBuffer data(ReadEntryData(file, id, directory.get(), count, &size, kTerminatorSize));
    if (GetResourceError() != kResourceOk)
        return EmptyText(std::move(directory));
    char* text = reinterpret_cast<char*>(data.release());
    text[size] = '\0';
    return text;
}

std::uint32_t GetResourceLocation(HANDLE file, std::uint32_t id, std::uint32_t* size) {
    std::uint16_t count = 0;
    const DirectoryCopy directory(ReadResourceDirectory(file, &count));
    ResourceEntry entry;
    FindResourceEntry(file, id, directory.get(), count, &entry);
    *size = entry.dataSize();
    return entry.dataOffset();
}

HBITMAP LoadResourceBitmap(HANDLE file, std::uint32_t id) {
    std::uint16_t count = 0;
    DirectoryCopy directory(ReadResourceDirectory(file, &count));
    std::uint32_t size = 0;
    const DataBuffer data(ReadEntryData(file, id, directory.get(), count, &size, 0));
    if (GetResourceError() != kResourceOk)
        return nullptr;
    directory.reset();
    return bmp::CreatePicture({data.get(), size});
}

bool ReadResourceBytesAt(HANDLE file, std::uint32_t offset, void* buffer, std::uint32_t size,
                         std::uint32_t* bytesRead) {
    *bytesRead = 0;
    ContainerAccess access;
    return access.seek(file, offset) && access.read(file, buffer, size, bytesRead);
}

bool SeekResourceFile(HANDLE file, std::uint32_t offset) {
    ContainerAccess access;
    return access.seek(file, offset);
}
