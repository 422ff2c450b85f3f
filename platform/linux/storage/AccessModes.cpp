// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/AccessModes.h"

namespace platform::layer {

using namespace win;

namespace {

constexpr DWORD kAccessMask = STGM_READ | STGM_WRITE | STGM_READWRITE;
constexpr DWORD kShareMask = STGM_SHARE_EXCLUSIVE | STGM_SHARE_DENY_WRITE | STGM_SHARE_DENY_NONE;

DWORD AccessOf(DWORD mode) {
    return mode & kAccessMask;
}

// The mode names one access and exclusive sharing, and no bit outside allowed.
bool IsExclusiveWithin(DWORD mode, DWORD allowed) {
    return AccessOf(mode) != kAccessMask && (mode & kShareMask) == STGM_SHARE_EXCLUSIVE &&
           (mode & ~(kAccessMask | kShareMask | allowed)) == 0;
}

} // namespace

HRESULT CheckDocfileMode(DWORD mode) {
    return IsExclusiveWithin(mode, STGM_CREATE | STGM_DELETEONRELEASE) &&
                   AccessOf(mode) == STGM_READWRITE
               ? S_OK
               : STG_E_INVALIDFLAG;
}

HRESULT CheckStreamMode(DWORD mode, StreamOpening opening) {
    if ((mode & (STGM_TRANSACTED | STGM_DELETEONRELEASE)) != 0)
        return STG_E_INVALIDFUNCTION;
    const DWORD allowed = opening == StreamOpening::Create ? STGM_CREATE : 0;
    return IsExclusiveWithin(mode, allowed) ? S_OK : STG_E_INVALIDFLAG;
}

bool ModeReads(DWORD mode) {
    return AccessOf(mode) != STGM_WRITE;
}

bool ModeWrites(DWORD mode) {
    return AccessOf(mode) != STGM_READ;
}

} // namespace platform::layer
