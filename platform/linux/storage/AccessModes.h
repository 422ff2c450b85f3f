// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The STGM_ modes a temporary storage and its streams accept.

#include "platform/Storage.h"

namespace platform::layer {

/// Checks the mode of a new temporary docfile: read-write and exclusive, direct, with
/// STGM_CREATE and STGM_DELETEONRELEASE allowed (a temporary file is both anyway).
/// STG_E_INVALIDFLAG for anything else.
win::HRESULT CheckDocfileMode(win::DWORD mode);

enum class StreamOpening { Create, Open };

/// Checks the mode of a stream being created or opened: any access, exclusive sharing, and for
/// creation STGM_CREATE. STG_E_INVALIDFUNCTION for STGM_TRANSACTED and STGM_DELETEONRELEASE,
/// which a stream never is; STG_E_INVALIDFLAG for anything else.
win::HRESULT CheckStreamMode(win::DWORD mode, StreamOpening opening);

/// Whether a checked mode allows reading, or writing.
bool ModeReads(win::DWORD mode);
bool ModeWrites(win::DWORD mode);

} // namespace platform::layer
