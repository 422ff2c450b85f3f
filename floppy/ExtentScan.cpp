// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/ExtentScan.h"

#include "app/JobState.h"
#include "floppy/PageBuffer.h"
#include "resfile/Catalogue.h"

#include <algorithm>
#include <cstring>

using namespace win;

namespace {

constexpr auto kCylinders = static_cast<std::int32_t>(catalogue::kCylinders);
// The fill cylinder after the data is written too.
constexpr std::int32_t kTrailingFillCylinders = 1;

} // namespace

bool BlockHasData(const void* block, std::size_t length) {
    const auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t index = 0; index < length / sizeof(std::uint32_t); ++index) {
        std::uint32_t word = 0;
        std::memcpy(&word, bytes + index * sizeof word, sizeof word);
        if (word != kFillWord)
            return true;
    }
    return false;
}

std::int32_t FindLastUsedCylinder() {
    const HANDLE file = JobState.resourceFile;
    const auto image = static_cast<std::uint32_t>(JobState.bootImageOffset.load());
    std::int32_t count = kCylinders;
    PageBuffer buffer(catalogue::kCylinderBytes);
    if (buffer) {
        // From the end, the first cylinder with data is the last one the disk needs.
        std::int32_t lastWithData = -1;
        for (std::int32_t index = kCylinders - 1; index >= 0 && lastWithData < 0; --index) {
            std::uint32_t got = 0;
            const bool read = ReadResourceBytesAt(file,
                                                  image + static_cast<std::uint32_t>(index) *
                                                              catalogue::kCylinderBytes,
                                                  buffer.get(), catalogue::kCylinderBytes, &got) &&
                              got == catalogue::kCylinderBytes;
            if (!read || BlockHasData(buffer.get(), catalogue::kCylinderBytes))
                lastWithData = index;
        }
        count = std::min(lastWithData + 1 + kTrailingFillCylinders, kCylinders);
    }
    SeekResourceFile(file, image);
    return count;
}
