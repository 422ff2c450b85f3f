// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Joliet properties of the disc master: the El Torito boot record of the next disc. A
// property set carries them by id: 4 boot on (VT_BOOL), 6 platform id (VT_UI1), 7 boot media
// type (VT_UI1), 8 the boot image (VT_STREAM).

#include "platform/ComPtr.h"
#include "platform/Storage.h"
#include "platform/linux/cd/ElTorito.h"
#include "platform/linux/storage/StreamBytes.h"

#include <cstdint>

namespace platform::layer {

inline constexpr win::PROPID kBootEnabledProperty = 4;
inline constexpr win::PROPID kBootPlatformProperty = 6;
inline constexpr win::PROPID kBootMediaProperty = 7;
inline constexpr win::PROPID kBootImageProperty = 8;

struct BootSettings {
    bool enabled = false;
    std::uint8_t platform = kPlatform80x86;
    std::uint8_t media = kMediaFloppy144;
    /// The stream the boot image is read from.
    ComPtr<win::IStream> image;
};

/// A new property set holding the settings; the caller owns it. The image stream is shared,
/// not copied. E_POINTER, or what the set's WriteMultiple reports (no memory).
win::HRESULT WriteBootProperties(const BootSettings& settings, win::IPropertyStorage** properties);

/// Takes over into *settings each of the four properties the set holds (the image stream with an
/// added reference); the others keep their values. S_OK, or IMAPI_S_PROPERTIESIGNORED when the set
/// also holds properties of other ids. E_POINTER; E_INVALIDARG, with *settings unchanged, for a
/// value of another type or a null stream; what the set's Enum and ReadMultiple report.
win::HRESULT ReadBootProperties(win::IPropertyStorage* properties, BootSettings* settings);

/// The positioned reads of the boot image when the settings describe the boot record the disc
/// master builds. E_INVALIDARG (another platform or media type), IMAPI_E_INVALIDIMAGE (no
/// image, not one of this layer's streams, or not exactly kBootFloppyBytes long).
win::HRESULT BootFloppyBytes(const BootSettings& settings, ComPtr<IStreamBytes>* bytes);

} // namespace platform::layer
