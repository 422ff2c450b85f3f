// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/ElementStat.h"

#include "platform/linux/storage/TaskMemory.h"

namespace platform::layer {

using namespace win;

HRESULT DescribeElement(std::u16string_view name, DWORD type, std::uint64_t size, DWORD mode,
                        DWORD flags, STATSTG* stat) {
    if ((flags & ~static_cast<DWORD>(STATFLAG_NONAME | STATFLAG_NOOPEN)) != 0)
        return STG_E_INVALIDFLAG;
    LPOLESTR copy = nullptr;
    if ((flags & STATFLAG_NONAME) == 0) {
        copy = CopyToTaskMemory(name);
        if (copy == nullptr)
            return STG_E_INSUFFICIENTMEMORY;
    }
    *stat = {};
    stat->pwcsName = copy;
    stat->type = type;
    stat->cbSize.QuadPart = size;
    stat->grfMode = mode;
    return S_OK;
}

} // namespace platform::layer
