// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/Types.h"

namespace win {
namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

DWORD GetLastError() {
    return lastError;
}
void SetLastError(DWORD error) {
    lastError = error;
}
} // namespace win
