// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/FileIo.h"

#include "platform/Files.h"

#include <algorithm>

using namespace win;

namespace tools {
namespace {

constexpr unsigned kHighShift = 32;
// Each call moves at most this much, well inside a DWORD.
constexpr std::size_t kMaxTransfer = std::size_t{1} << 30;

} // namespace

platform::FileHandle OpenInput(const std::string& path) {
    return platform::FileHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::optional<std::uint64_t> FileSize(HANDLE file) {
    LONG high = 0;
    const DWORD low = SetFilePointer(file, 0, &high, FILE_END);
    // A low part of INVALID_SET_FILE_POINTER is ambiguous; such a file is far too large for a
    // container anyway, so it counts as a failure.
    if (low == INVALID_SET_FILE_POINTER || !SeekTo(file, 0))
        return std::nullopt;
    return static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << kHighShift | low;
}

bool ReadExactly(HANDLE file, void* buffer, std::size_t size) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    while (size > 0) {
        const auto chunk = static_cast<DWORD>(std::min(size, kMaxTransfer));
        DWORD got = 0;
        if (!ReadFile(file, bytes, chunk, &got, nullptr) || got == 0)
            return false;
        bytes += got;
        size -= got;
    }
    return true;
}

bool AtEnd(HANDLE file) {
    std::uint8_t probe = 0;
    DWORD got = 0;
    return ReadFile(file, &probe, sizeof probe, &got, nullptr) && got == 0;
}

bool WriteAll(HANDLE file, const void* buffer, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    while (size > 0) {
        const auto chunk = static_cast<DWORD>(std::min(size, kMaxTransfer));
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr) || written != chunk)
            return false;
        bytes += written;
        size -= written;
    }
    return true;
}

bool SeekTo(HANDLE file, std::uint32_t offset) {
    LONG high = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), &high, FILE_BEGIN) !=
           INVALID_SET_FILE_POINTER;
}

std::optional<std::string> ReadSmallFile(const std::string& path, std::uint64_t maxBytes) {
    const platform::FileHandle file = OpenInput(path);
    if (!file)
        return std::nullopt;
    const std::optional<std::uint64_t> size = FileSize(file.get());
    if (!size || *size > maxBytes)
        return std::nullopt;
    std::string content(static_cast<std::size_t>(*size), '\0');
    if (!ReadExactly(file.get(), content.data(), content.size()))
        return std::nullopt;
    return content;
}

} // namespace tools
