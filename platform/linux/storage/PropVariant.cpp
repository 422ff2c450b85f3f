// SPDX-License-Identifier: GPL-2.0-or-later
// Clearing and copying property values: what a value owns depends on its type.
#include "platform/Storage.h"
#include "platform/linux/storage/TaskMemory.h"

#include <cstring>
#include <string_view>

namespace win {
namespace {

// The types whose value is all in the PROPVARIANT itself. A VT_BYREF value points at memory
// its maker owns.
bool IsSelfContained(VARTYPE type) {
    if ((type & VT_BYREF) != 0)
        return true;
    switch (type) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
    case VT_R4:
    case VT_R8:
    case VT_BOOL:
    case VT_ERROR:
    case VT_FILETIME:
        return true;
    default:
        return false;
    }
}

// Copies what the value points at into copy, which holds the same bits; false when there is
// no memory.
bool DuplicateOwned(const PROPVARIANT& value, PROPVARIANT& copy) {
    switch (value.vt) {
    case VT_LPSTR:
        if (value.pszVal != nullptr) {
            const std::size_t bytes = std::strlen(value.pszVal) + 1;
            copy.pszVal = static_cast<LPSTR>(CoTaskMemAlloc(bytes));
            if (copy.pszVal == nullptr)
                return false;
            std::memcpy(copy.pszVal, value.pszVal, bytes);
        }
        return true;
    case VT_LPWSTR:
        if (value.pwszVal != nullptr) {
            copy.pwszVal = platform::layer::CopyToTaskMemory(value.pwszVal);
            return copy.pwszVal != nullptr;
        }
        return true;
    case VT_CLSID:
        if (value.puuid != nullptr) {
            copy.puuid = static_cast<CLSID*>(CoTaskMemAlloc(sizeof(CLSID)));
            if (copy.puuid == nullptr)
                return false;
            *copy.puuid = *value.puuid;
        }
        return true;
    case VT_BSTR:
        if (value.bstrVal != nullptr) {
            copy.bstrVal = SysAllocStringLen(value.bstrVal, SysStringLen(value.bstrVal));
            return copy.bstrVal != nullptr;
        }
        return true;
    case VT_STREAM:
        if (value.pStream != nullptr)
            value.pStream->AddRef();
        return true;
    case VT_STORAGE:
        if (value.pStorage != nullptr)
            value.pStorage->AddRef();
        return true;
    default:
        return true;
    }
}

bool IsKnown(VARTYPE type) {
    switch (type) {
    case VT_LPSTR:
    case VT_LPWSTR:
    case VT_CLSID:
    case VT_BSTR:
    case VT_STREAM:
    case VT_STORAGE:
        return true;
    default:
        return IsSelfContained(type);
    }
}

} // namespace

HRESULT PropVariantClear(PROPVARIANT* value) {
    if (value == nullptr)
        return S_OK;
    switch (value->vt) {
    case VT_LPSTR:
        CoTaskMemFree(value->pszVal);
        break;
    case VT_LPWSTR:
        CoTaskMemFree(value->pwszVal);
        break;
    case VT_CLSID:
        CoTaskMemFree(value->puuid);
        break;
    case VT_BSTR:
        SysFreeString(value->bstrVal);
        break;
    case VT_STREAM:
        if (value->pStream != nullptr)
            value->pStream->Release();
        break;
    case VT_STORAGE:
        if (value->pStorage != nullptr)
            value->pStorage->Release();
        break;
    default:
        if (!IsSelfContained(value->vt))
            return STG_E_INVALIDPARAMETER;
    }
    PropVariantInit(value);
    return S_OK;
}

HRESULT PropVariantCopy(PROPVARIANT* copy, const PROPVARIANT* value) {
    if (copy == nullptr || value == nullptr)
        return STG_E_INVALIDPOINTER;
    PropVariantInit(copy);
    if (!IsKnown(value->vt))
        return STG_E_INVALIDPARAMETER;
    PROPVARIANT made = *value;
    if (!DuplicateOwned(*value, made))
        return E_OUTOFMEMORY;
    *copy = made;
    return S_OK;
}

} // namespace win
