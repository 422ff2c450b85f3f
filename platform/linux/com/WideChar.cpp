// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Com.h"
#include "platform/linux/CodePage.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

namespace win {
namespace {

constexpr int kUpToTerminator = -1;
constexpr char kDefaultReplacement = '?';

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

} // namespace

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideCount, LPSTR multi,
                        int multiSize, LPCSTR defaultChar, BOOL* usedDefault) {
    if ((codePage != CP_ACP && codePage != CP_THREAD_ACP) || wide == nullptr || wideCount == 0 ||
        wideCount < kUpToTerminator || multiSize < 0 || (multi == nullptr && multiSize > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    if (flags != 0)
        return Fail(ERROR_INVALID_FLAGS);
    const std::size_t units = wideCount == kUpToTerminator
                                  ? std::char_traits<char16_t>::length(wide) + 1
                                  : static_cast<std::size_t>(wideCount);
    bool replaced = false;
    const char replacement = defaultChar != nullptr ? *defaultChar : kDefaultReplacement;
    const std::optional<std::string> encoded =
        platform::layer::EncodeAnsi(std::u16string_view(wide, units), replacement, &replaced);
    if (!encoded)
        return Fail(ERROR_INVALID_PARAMETER);
    if (usedDefault != nullptr)
        *usedDefault = replaced ? TRUE : FALSE;
    const auto size = static_cast<int>(encoded->size());
    if (multiSize == 0)
        return size;
    if (size > multiSize)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(multi, encoded->data(), encoded->size());
    return size;
}

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multi, int multiCount, LPWSTR wide,
                        int wideSize) {
    if ((codePage != CP_ACP && codePage != CP_THREAD_ACP) || multi == nullptr || multiCount == 0 ||
        multiCount < kUpToTerminator || wideSize < 0 || (wide == nullptr && wideSize > 0))
        return Fail(ERROR_INVALID_PARAMETER);
    if (flags != 0)
        return Fail(ERROR_INVALID_FLAGS);
    const std::size_t bytes = multiCount == kUpToTerminator
                                  ? std::char_traits<char>::length(multi) + 1
                                  : static_cast<std::size_t>(multiCount);
    const std::optional<std::u16string> decoded =
        platform::layer::DecodeAnsi(std::string_view(multi, bytes));
    if (!decoded)
        return Fail(ERROR_INVALID_PARAMETER);
    const auto size = static_cast<int>(decoded->size());
    if (wideSize == 0)
        return size;
    if (size > wideSize)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::copy(decoded->begin(), decoded->end(), wide);
    return size;
}

} // namespace win
