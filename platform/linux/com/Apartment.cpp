// SPDX-License-Identifier: GPL-2.0-or-later
// Apartments and object creation. Every thread that enters COM is its own apartment: objects
// are used by the thread that made them, as in a single-threaded apartment.
#include "platform/Com.h"
#include "platform/linux/com/ClassRegistry.h"

namespace win {
namespace {

thread_local unsigned apartmentEntries = 0;

constexpr DWORD kServerContexts = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;

} // namespace

HRESULT CoInitialize(LPVOID reserved) {
    if (reserved != nullptr)
        return E_INVALIDARG;
    return apartmentEntries++ == 0 ? S_OK : S_FALSE;
}

void CoUninitialize() {
    if (apartmentEntries > 0)
        --apartmentEntries;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         LPVOID* object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (apartmentEntries == 0)
        return CO_E_NOTINITIALIZED;
    if (outer != nullptr)
        return CLASS_E_NOAGGREGATION;
    if ((context & kServerContexts) == 0)
        return REGDB_E_CLASSNOTREG;
    return platform::layer::CreateClassObject(clsid, iid, object);
}

} // namespace win
