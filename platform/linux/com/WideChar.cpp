// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Com.h"
#include "platform/linux/CodePage.h"

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

} // namespace win
