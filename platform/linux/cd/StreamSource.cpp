// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/StreamSource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace platform::layer {

using namespace win;

namespace {

// libisofs's struct iso_stream, which C++ cannot name: it has a member called "class". The
// layout is the library's; libisofs frees the structure with free().
struct IsoStreamLayout {
    IsoStreamIface* iface;
    int refcount;
    void* data;
};

// The identity of our streams: a file system number of our own (libisofs numbers its own from
// 1) and a serial number per stream.
constexpr unsigned int kStagedFilesFsId = 0x626D6364;
constexpr dev_t kNoDevice = 0;
constexpr int kFirstReference = 1;
constexpr int kRepeatable = 1;
constexpr int kEndOfStream = 0;
// Version 1 of the stream interface: the methods up to update_size.
constexpr int kInterfaceVersion = 1;
const int kReadError = static_cast<int>(ISO_FILE_READ_ERROR);
const int kOutOfMemory = static_cast<int>(ISO_OUT_OF_MEM);
// libisofs asks for one 2048-byte block at a time; the stream reads ahead in larger pieces, so
// a file costs a few reads instead of one per block. Held only while the stream is open.
constexpr std::size_t kReadAheadBytes = 64 * 1024;

ino_t NextSerial() {
    static std::atomic<ino_t> serial{0};
    return ++serial;
}

struct SourceState {
    SourceState(ReadAt reader, std::uint64_t bytes, std::shared_ptr<std::atomic<bool>> failed)
        : read(std::move(reader)), size(bytes), serial(NextSerial()),
          readFailed(std::move(failed)) {}

    ReadAt read;
    std::uint64_t size;
    ino_t serial;
    std::shared_ptr<std::atomic<bool>> readFailed;
    std::uint64_t position = 0;
    // The bytes read ahead, from windowStart on.
    std::vector<unsigned char> window;
    std::uint64_t windowStart = 0;
};

SourceState& StateOf(IsoStream* stream) {
    return *static_cast<SourceState*>(reinterpret_cast<IsoStreamLayout*>(stream)->data);
}

// No exception may leave into libisofs's C code: the window is allocated here, once, and a read
// never grows it.
int Open(IsoStream* stream) {
    SourceState& state = StateOf(stream);
    state.position = 0;
    state.window.clear();
    try {
        state.window.reserve(kReadAheadBytes);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return ISO_SUCCESS;
}

int Close(IsoStream* stream) {
    std::vector<unsigned char>().swap(StateOf(stream).window);
    return ISO_SUCCESS;
}

off_t GetSize(IsoStream* stream) {
    return static_cast<off_t>(StateOf(stream).size);
}

// Delivers all count bytes or the end of the stream, as libisofs demands of every read but the
// last.
int Read(IsoStream* stream, void* buffer, std::size_t count) {
    SourceState& state = StateOf(stream);
    const auto wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(count, state.size - state.position));
    if (wanted == 0)
        return kEndOfStream;
    const auto fail = [&state] {
        state.window.clear();
        *state.readFailed = true;
        return kReadError;
    };
    if (wanted > state.window.capacity()) {
        if (!state.read(state.position, buffer, wanted))
            return fail();
    } else {
        if (state.position < state.windowStart ||
            state.position + wanted > state.windowStart + state.window.size()) {
            state.window.resize(static_cast<std::size_t>(
                std::min<std::uint64_t>(state.window.capacity(), state.size - state.position)));
            state.windowStart = state.position;
            if (!state.read(state.position, state.window.data(), state.window.size()))
                return fail();
        }
        std::memcpy(buffer, state.window.data() + (state.position - state.windowStart), wanted);
    }
    state.position += wanted;
    return static_cast<int>(wanted);
}

int IsRepeatable(IsoStream*) {
    return kRepeatable;
}

void GetId(IsoStream* stream, unsigned int* fsId, dev_t* deviceId, ino_t* inodeId) {
    *fsId = kStagedFilesFsId;
    *deviceId = kNoDevice;
    *inodeId = StateOf(stream).serial;
}

void Free(IsoStream* stream) {
    // Takes back what MakeStreamSource handed to libisofs; libisofs frees the structure itself.
    std::unique_ptr<SourceState> owned(&StateOf(stream));
}

int UpdateSize(IsoStream*) {
    return ISO_SUCCESS;
}

IsoStreamIface kStreamInterface = {
    .version = kInterfaceVersion,
    .type = {'u', 's', 'e', 'r'},
    .open = Open,
    .close = Close,
    .get_size = GetSize,
    .read = Read,
    .is_repeatable = IsRepeatable,
    .get_id = GetId,
    .free = Free,
    .update_size = UpdateSize,
    .get_input_stream = nullptr,
    .cmp_ino = nullptr,
    .clone_stream = nullptr,
};

} // namespace

ReadAt ReaderOf(ComPtr<IStreamBytes> bytes) {
    // std::function wants a copyable target; the copies share the one reference.
    std::shared_ptr<IStreamBytes> shared(bytes.detach(),
                                         [](IStreamBytes* held) { held->Release(); });
    return [shared](std::uint64_t offset, void* buffer, std::size_t count) {
        ULONG read = 0;
        return count <= std::numeric_limits<ULONG>::max() &&
               SUCCEEDED(shared->ReadAt(offset, buffer, static_cast<ULONG>(count), &read)) &&
               read == count;
    };
}

IsoStreamRef MakeStreamSource(ReadAt read, std::uint64_t size,
                              std::shared_ptr<std::atomic<bool>> readFailed) {
    // Allocated as libisofs frees it, when its last reference goes.
    auto* layout = static_cast<IsoStreamLayout*>(std::calloc(1, sizeof(IsoStreamLayout)));
    if (layout == nullptr)
        return IsoStreamRef();
    layout->iface = &kStreamInterface;
    layout->refcount = kFirstReference;
    layout->data =
        std::make_unique<SourceState>(std::move(read), size, std::move(readFailed)).release();
    return IsoStreamRef(reinterpret_cast<IsoStream*>(layout));
}

} // namespace platform::layer
