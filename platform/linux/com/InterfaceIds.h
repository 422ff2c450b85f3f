// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The identifier of each interface the layer's objects (and the tests' stand-ins) implement:
// what __uuidof gives on Windows.

#include "platform/ImageMastering.h"

namespace platform::layer {

template <typename Interface> constexpr const win::IID& IidOf();

template <> constexpr const win::IID& IidOf<win::IUnknown>() {
    return win::IID_IUnknown;
}
template <> constexpr const win::IID& IidOf<win::ICDBurn>() {
    return win::IID_ICDBurn;
}
template <> constexpr const win::IID& IidOf<win::IDiscMaster>() {
    return win::IID_IDiscMaster;
}
template <> constexpr const win::IID& IidOf<win::IJolietDiscMaster>() {
    return win::IID_IJolietDiscMaster;
}
template <> constexpr const win::IID& IidOf<win::IDiscRecorder>() {
    return win::IID_IDiscRecorder;
}
template <> constexpr const win::IID& IidOf<win::IEnumDiscRecorders>() {
    return win::IID_IEnumDiscRecorders;
}
template <> constexpr const win::IID& IidOf<win::IEnumDiscMasterFormats>() {
    return win::IID_IEnumDiscMasterFormats;
}

} // namespace platform::layer
