// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/MemoryFile.h"

#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <thread>

namespace test {
namespace {

class MemoryObject final : public platform::layer::KernelObject {
public:
    MemoryObject(std::shared_ptr<const std::vector<std::uint8_t>> bytes,
                 std::chrono::microseconds pause)
        : bytes_(std::move(bytes)), pause_(pause) {}

    bool read(void* buffer, win::DWORD toRead, win::DWORD* bytesRead) override {
        if (pause_.count() > 0)
            std::this_thread::sleep_for(pause_);
        std::lock_guard hold(mutex_);
        const std::uint64_t start = std::min<std::uint64_t>(position_, bytes_->size());
        const auto count =
            static_cast<win::DWORD>(std::min<std::uint64_t>(toRead, bytes_->size() - start));
        std::memcpy(buffer, bytes_->data() + start, count);
        position_ += count;
        if (bytesRead)
            *bytesRead = count;
        return true;
    }

    bool seek(std::int64_t distance, win::DWORD method, std::uint64_t* newPosition) override {
        std::lock_guard hold(mutex_);
        const std::int64_t base = method == win::FILE_END       ? std::int64_t(bytes_->size())
                                  : method == win::FILE_CURRENT ? std::int64_t(position_)
                                                                : 0;
        if (base + distance < 0) {
            win::SetLastError(win::ERROR_NEGATIVE_SEEK);
            return false;
        }
        position_ = static_cast<std::uint64_t>(base + distance);
        if (newPosition)
            *newPosition = position_;
        win::SetLastError(win::ERROR_SUCCESS);
        return true;
    }

private:
    std::shared_ptr<const std::vector<std::uint8_t>> bytes_;
    std::chrono::microseconds pause_;
    std::mutex mutex_;
    std::uint64_t position_ = 0;
};

} // namespace

MemoryFile::MemoryFile(std::vector<std::uint8_t> bytes, std::chrono::microseconds readPause)
    : bytes_(std::make_shared<const std::vector<std::uint8_t>>(std::move(bytes))),
      readPause_(readPause) {
}

platform::layer::DeviceFactory MemoryFile::factory() const {
    return [bytes = bytes_, pause = readPause_](const platform::layer::OpenRequest&) {
        return std::make_shared<MemoryObject>(bytes, pause);
    };
}

} // namespace test
