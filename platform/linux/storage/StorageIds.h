// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The identifiers of the storage interfaces, for the layer's QueryInterface.

#include "platform/Storage.h"
#include "platform/linux/com/InterfaceIds.h"
#include "platform/linux/storage/StreamBytes.h"

namespace platform::layer {

template <> constexpr const win::IID& IidOf<win::IStorage>() {
    return win::IID_IStorage;
}
template <> constexpr const win::IID& IidOf<win::IStream>() {
    return win::IID_IStream;
}
template <> constexpr const win::IID& IidOf<win::IEnumSTATSTG>() {
    return win::IID_IEnumSTATSTG;
}
template <> constexpr const win::IID& IidOf<win::IPropertyStorage>() {
    return win::IID_IPropertyStorage;
}
template <> constexpr const win::IID& IidOf<win::IEnumSTATPROPSTG>() {
    return win::IID_IEnumSTATPROPSTG;
}
template <> constexpr const win::IID& IidOf<IStreamBytes>() {
    return IID_IStreamBytes;
}

} // namespace platform::layer
