// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/JolietName.h"

#include "platform/FileNameRules.h"

namespace platform::layer {
namespace {

// UTF-16 surrogates and the code points they make.
constexpr char32_t kHighSurrogate = 0xD800;
constexpr char32_t kLowSurrogate = 0xDC00;
constexpr char32_t kSurrogateEnd = 0xE000;
constexpr char32_t kSupplementaryBase = 0x10000;
constexpr unsigned kSurrogateBits = 10;
// UTF-8 lead bytes and the limits of its 1, 2 and 3 byte forms.
constexpr char32_t kOneByteEnd = 0x80;
constexpr char32_t kTwoByteEnd = 0x800;
constexpr unsigned kContinuationBits = 6;
constexpr char32_t kContinuationMask = 0x3F;
constexpr char32_t kContinuationLead = 0x80;
constexpr char32_t kTwoByteLead = 0xC0;
constexpr char32_t kThreeByteLead = 0xE0;
constexpr char32_t kFourByteLead = 0xF0;

bool IsHighSurrogate(char32_t unit) {
    return unit >= kHighSurrogate && unit < kLowSurrogate;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= kLowSurrogate && unit < kSurrogateEnd;
}

void AppendUtf8(char32_t point, std::string& out) {
    const auto continuation = [](char32_t bits) {
        return static_cast<char>(kContinuationLead | (bits & kContinuationMask));
    };
    if (point < kOneByteEnd) {
        out.push_back(static_cast<char>(point));
    } else if (point < kTwoByteEnd) {
        out.push_back(static_cast<char>(kTwoByteLead | (point >> kContinuationBits)));
        out.push_back(continuation(point));
    } else if (point < kSupplementaryBase) {
        out.push_back(static_cast<char>(kThreeByteLead | (point >> (2 * kContinuationBits))));
        out.push_back(continuation(point >> kContinuationBits));
        out.push_back(continuation(point));
    } else {
        out.push_back(static_cast<char>(kFourByteLead | (point >> (3 * kContinuationBits))));
        out.push_back(continuation(point >> (2 * kContinuationBits)));
        out.push_back(continuation(point >> kContinuationBits));
        out.push_back(continuation(point));
    }
}

} // namespace

std::optional<std::string> JolietFileName(std::u16string_view name) {
    if (!CheckDiscName(name))
        return std::nullopt;
    // The name's surrogates come in whole pairs now.
    std::string utf8;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char32_t point = name[i];
        if (IsHighSurrogate(point) && i + 1 < name.size() && IsLowSurrogate(name[i + 1]))
            point = kSupplementaryBase + ((point - kHighSurrogate) << kSurrogateBits) +
                    (name[++i] - kLowSurrogate);
        AppendUtf8(point, utf8);
    }
    return utf8;
}

} // namespace platform::layer
