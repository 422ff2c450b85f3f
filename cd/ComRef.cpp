// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/ComRef.h"

using namespace win;

namespace {
constexpr DWORD kServerContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
} // namespace

HRESULT CreateServerObject(const CLSID& clsid, const IID& iid, void** object) {
    return CoCreateInstance(clsid, nullptr, kServerContext, iid, object);
}
