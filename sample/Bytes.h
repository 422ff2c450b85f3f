// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Byte buffers for the sample's generators, read from and written to whole files.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace sample {

using Bytes = std::vector<std::uint8_t>;

/// The whole file, or nothing when it cannot be read.
inline std::optional<Bytes> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

/// Replaces the file with the bytes; false when that fails.
inline bool WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

} // namespace sample
