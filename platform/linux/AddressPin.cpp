// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/NoDestructor.h"
#include "platform/linux/AddressPins.h"

#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

// Tokens never look like small numbers or zero, so a register left at a count or a cleared
// field is not mistaken for an address.
constexpr win::DWORD kFirstToken = 0x00010000;
constexpr win::DWORD kTokenStep = 0x10;

struct Pinned {
    const void* address;
    std::size_t bytes;
};

struct Pins {
    std::mutex mutex;
    win::DWORD next = kFirstToken;
    std::unordered_map<win::DWORD, Pinned> live;
};

Pins& pins() {
    static platform::NoDestructor<Pins> instance;
    return instance.get();
}

} // namespace

AddressPin::AddressPin(const void* address, std::size_t bytes) {
    Pins& all = pins();
    std::lock_guard lock(all.mutex);
    // Skips values still pinned after the counter wraps.
    do {
        value_ = all.next;
        all.next = all.next + kTokenStep < kFirstToken ? kFirstToken : all.next + kTokenStep;
    } while (all.live.contains(value_));
    all.live.emplace(value_, Pinned{address, bytes});
}

AddressPin::~AddressPin() {
    Pins& all = pins();
    std::lock_guard lock(all.mutex);
    all.live.erase(value_);
}

namespace layer {

void* ResolvePinnedAddress(win::DWORD value, std::size_t bytes) {
    Pins& all = pins();
    std::lock_guard lock(all.mutex);
    const auto found = all.live.find(value);
    if (found == all.live.end() || bytes > found->second.bytes)
        return nullptr;
    // The pinned object is the caller's and writable; the pin only carried its address.
    return const_cast<void*>(found->second.address);
}

} // namespace layer
} // namespace platform
