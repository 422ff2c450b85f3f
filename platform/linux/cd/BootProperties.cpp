// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/BootProperties.h"

#include "platform/ImageMastering.h"
#include "platform/linux/storage/PropertySet.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

namespace platform::layer {

using namespace win;

namespace {

// The format of the Joliet property sets the disc master hands out.
constexpr FMTID kJolietPropertiesFormat = {
    0x26580A9F, 0x968D, 0x40C6, {0xA0, 0xC6, 0x55, 0xAD, 0x13, 0x0E, 0xAC, 0x94}};
constexpr std::array<PROPID, 4> kBootProperties = {kBootEnabledProperty, kBootPlatformProperty,
                                                   kBootMediaProperty, kBootImageProperty};
constexpr std::size_t kEnabledAt = 0;
constexpr std::size_t kPlatformAt = 1;
constexpr std::size_t kMediaAt = 2;
constexpr std::size_t kImageAt = 3;
constexpr ULONG kOneProperty = 1;

using Specifiers = std::array<PROPSPEC, kBootProperties.size()>;

Specifiers BootSpecs() {
    Specifiers specifiers = {};
    for (std::size_t i = 0; i < specifiers.size(); ++i) {
        specifiers[i].ulKind = PRSPEC_PROPID;
        specifiers[i].propid = kBootProperties[i];
    }
    return specifiers;
}

// The values ReadMultiple filled, cleared when they go.
struct ReadValues {
    std::array<PROPVARIANT, kBootProperties.size()> values = {};
    ~ReadValues() {
        for (PROPVARIANT& value : values)
            PropVariantClear(&value);
    }
};

struct NameFree {
    void operator()(OLECHAR* name) const noexcept { CoTaskMemFree(name); }
};

// Whether the set holds properties of other ids than the four; *others is set then.
HRESULT HoldsOthers(IPropertyStorage* properties, bool* others) {
    ComPtr<IEnumSTATPROPSTG> listed;
    HRESULT result = properties->Enum(listed.put());
    if (FAILED(result))
        return result;
    *others = false;
    for (;;) {
        STATPROPSTG property = {};
        result = listed->Next(kOneProperty, &property, nullptr);
        const std::unique_ptr<OLECHAR, NameFree> name(property.lpwstrName);
        if (result != S_OK)
            break;
        if (std::find(kBootProperties.begin(), kBootProperties.end(), property.propid) ==
            kBootProperties.end())
            *others = true;
    }
    return FAILED(result) ? result : S_OK;
}

bool TakeByte(const PROPVARIANT& value, std::uint8_t* setting) {
    if (value.vt == VT_EMPTY)
        return true;
    if (value.vt != VT_UI1)
        return false;
    *setting = value.bVal;
    return true;
}

} // namespace

HRESULT WriteBootProperties(const BootSettings& settings, IPropertyStorage** properties) {
    if (properties == nullptr)
        return E_POINTER;
    *properties = nullptr;
    std::array<PROPVARIANT, kBootProperties.size()> values = {};
    values[kEnabledAt].vt = VT_BOOL;
    values[kEnabledAt].boolVal = settings.enabled ? VARIANT_TRUE : VARIANT_FALSE;
    values[kPlatformAt].vt = VT_UI1;
    values[kPlatformAt].bVal = settings.platform;
    values[kMediaAt].vt = VT_UI1;
    values[kMediaAt].bVal = settings.media;
    values[kImageAt].vt = VT_STREAM;
    values[kImageAt].pStream = settings.image.get();
    // Without an image the set holds the first three.
    const auto count = static_cast<ULONG>(settings.image ? values.size() : kImageAt);
    const Specifiers specifiers = BootSpecs();
    ComPtr<PropertySet> made = MakeComObject<PropertySet>(kJolietPropertiesFormat);
    const HRESULT written =
        made->WriteMultiple(count, specifiers.data(), values.data(), PID_FIRST_USABLE);
    if (FAILED(written))
        return written;
    *properties = made.detach();
    return S_OK;
}

HRESULT ReadBootProperties(IPropertyStorage* properties, BootSettings* settings) {
    if (properties == nullptr || settings == nullptr)
        return E_POINTER;
    bool others = false;
    HRESULT result = HoldsOthers(properties, &others);
    if (FAILED(result))
        return result;
    const Specifiers specifiers = BootSpecs();
    ReadValues read;
    result = properties->ReadMultiple(static_cast<ULONG>(specifiers.size()), specifiers.data(),
                                      read.values.data());
    if (FAILED(result))
        return result;
    BootSettings taken{settings->enabled, settings->platform, settings->media,
                       settings->image.share()};
    const PROPVARIANT& enabled = read.values[kEnabledAt];
    if (enabled.vt == VT_BOOL)
        taken.enabled = enabled.boolVal != VARIANT_FALSE;
    else if (enabled.vt != VT_EMPTY)
        return E_INVALIDARG;
    if (!TakeByte(read.values[kPlatformAt], &taken.platform) ||
        !TakeByte(read.values[kMediaAt], &taken.media))
        return E_INVALIDARG;
    const PROPVARIANT& image = read.values[kImageAt];
    if (image.vt == VT_STREAM && image.pStream != nullptr) {
        image.pStream->AddRef();
        taken.image = ComPtr<IStream>::adopt(image.pStream);
    } else if (image.vt != VT_EMPTY) {
        return E_INVALIDARG;
    }
    *settings = std::move(taken);
    return others ? IMAPI_S_PROPERTIESIGNORED : S_OK;
}

HRESULT BootFloppyBytes(const BootSettings& settings, ComPtr<IStreamBytes>* bytes) {
    if (settings.platform != kPlatform80x86 || settings.media != kMediaFloppy144)
        return E_INVALIDARG;
    ComPtr<IStreamBytes> image;
    std::uint64_t size = 0;
    if (!settings.image ||
        FAILED(settings.image->QueryInterface(IID_IStreamBytes, image.putVoid())) ||
        FAILED(image->GetSize(&size)) || size != kBootFloppyBytes)
        return IMAPI_E_INVALIDIMAGE;
    *bytes = std::move(image);
    return S_OK;
}

} // namespace platform::layer
