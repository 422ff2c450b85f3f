// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A file held in memory, to be mounted as a layer device (platform::layer::ScopedDevice) so that
// code opening it by path reads these bytes. Each read can pause before it looks at the
// position, which turns a race between one thread's seek and another's read from rare into
// near certain.
//
//   test::MemoryFile file(bytes, std::chrono::microseconds(20));
//   platform::layer::ScopedDevice mount(R"(\\.\CONTAINER)", file.factory());

#include "platform/linux/DeviceRegistry.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace test {

class MemoryFile {
public:
    explicit MemoryFile(std::vector<std::uint8_t> bytes,
                        std::chrono::microseconds readPause = std::chrono::microseconds(0));

    /// Opens a new handle on the bytes (each with its own position), read-only.
    platform::layer::DeviceFactory factory() const;

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::chrono::microseconds readPause_;
};

} // namespace test
