// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/JolietProperties.h"

#include "cd/BuildFailure.h"
#include "resfile/Catalogue.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <iterator>

using namespace win;

namespace {

constexpr PROPID kBootEnabledId = 4;
constexpr PROPID kBootPlatformId = 6;
constexpr PROPID kBootMediaId = 7;
constexpr PROPID kBootImageId = 8;
constexpr std::array<PROPID, 4> kBootIds = {kBootEnabledId, kBootPlatformId, kBootMediaId,
                                            kBootImageId};

constexpr std::int16_t kBootOn = 1;
constexpr unsigned char kPlatform80x86 = 0;        // El Torito platform id
constexpr unsigned char kMediaFloppyEmulation = 2; // El Torito boot media type: 1.44 MB
constexpr VARTYPE kAnyInterfaceType = 13;          // VT_UNKNOWN, absent from the Linux seam
constexpr ULONG kOneProperty = 1;

[[noreturn]] void Fail(const char* reason) {
    throw BuildFailure{reason};
}

// A value ReadMultiple filled; what it owns (a stream reference) goes with it.
class PropertyValue {
public:
    PropertyValue() { PropVariantInit(&value_); }
    ~PropertyValue() { PropVariantClear(&value_); }
    PropertyValue(const PropertyValue&) = delete;
    PropertyValue& operator=(const PropertyValue&) = delete;

    PROPVARIANT* get() { return &value_; }

private:
    PROPVARIANT value_;
};

// The name Next delivers with a property, freed when it goes.
class PropertyStat {
public:
    PropertyStat() = default;
    ~PropertyStat() { CoTaskMemFree(stat_.lpwstrName); }
    PropertyStat(const PropertyStat&) = delete;
    PropertyStat& operator=(const PropertyStat&) = delete;

    STATPROPSTG* get() { return &stat_; }

private:
    STATPROPSTG stat_{};
};

PROPSPEC SpecOf(PROPID id) {
    PROPSPEC specifier;
    std::memset(&specifier, 0, sizeof(specifier));
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

// Reads every property of the set once, one enumerated property per Next, for as long as Next
// gives S_OK, and hands each id, specifier and value to visit.
template <typename Visit> void ForEachProperty(IPropertyStorage* set, Visit visit) {
    platform::ComPtr<IEnumSTATPROPSTG> properties;
    if (FAILED(set->Enum(properties.put())) || !properties)
        Fail(buildfailure::kMissingInterface);
    for (;;) {
        PropertyStat stat;
        ULONG fetched = 0;
        const HRESULT next = properties->Next(kOneProperty, stat.get(), &fetched);
        if (FAILED(next))
            Fail(buildfailure::kBootProperties);
        if (next != S_OK || fetched != kOneProperty)
            return;
        const PROPSPEC specifier = SpecOf(stat.get()->propid);
        PropertyValue value;
        if (FAILED(set->ReadMultiple(kOneProperty, &specifier, value.get())))
            Fail(buildfailure::kBootProperties);
        visit(stat.get()->propid, specifier, *value.get());
    }
}

// Whether the value is a number, whose bytes may be set without harm to anything it owns.
bool HoldsNumber(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_BOOL:
        return true;
    default:
        return false;
    }
}

// The stream a property holds, with an added reference; fails for any other value.
platform::ComPtr<IStream> StreamOf(const PROPVARIANT& value) {
    platform::ComPtr<IStream> stream;
    if ((value.vt != VT_STREAM && value.vt != kAnyInterfaceType) || value.punkVal == nullptr ||
        FAILED(value.punkVal->QueryInterface(IID_IStream, stream.putVoid())) || !stream)
        Fail(buildfailure::kBootProperties);
    return stream;
}

// Copies the whole boot image from the start of the reader into the target at its own seek
// pointer.
void CopyBootImage(IStream* bootReader, IStream* target) {
    LARGE_INTEGER start{};
    ULARGE_INTEGER size{};
    size.QuadPart = catalogue::kBootImageBytes;
    ULARGE_INTEGER read{};
    ULARGE_INTEGER written{};
    if (FAILED(bootReader->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(bootReader->CopyTo(target, size, &read, &written)) ||
        read.QuadPart != catalogue::kBootImageBytes ||
        written.QuadPart != catalogue::kBootImageBytes)
        Fail(buildfailure::kBootProperties);
}

// Puts the boot record's setting into the value of property id.
void SetBootValue(PROPID id, PROPVARIANT& value, IStream* bootReader) {
    if (id == kBootImageId) {
        CopyBootImage(bootReader, StreamOf(value).get());
        return;
    }
    if (!HoldsNumber(value.vt))
        Fail(buildfailure::kBootProperties);
    if (id == kBootEnabledId)
        value.iVal = kBootOn;
    else
        value.bVal = id == kBootPlatformId ? kPlatform80x86 : kMediaFloppyEmulation;
}

} // namespace

JolietPropertySets SetBootProperties(JolietRef& joliet, IStream* bootReader) {
    JolietPropertySets sets;
    if (FAILED(joliet.getProperties(&sets.written)) || !sets.written)
        Fail(buildfailure::kMissingInterface);

    std::array<bool, kBootIds.size()> found{};
    ForEachProperty(sets.written.get(), [&](PROPID id, const PROPSPEC& specifier,
                                            PROPVARIANT& value) {
        const auto known = std::find(kBootIds.begin(), kBootIds.end(), id);
        if (known == kBootIds.end())
            return;
        SetBootValue(id, value, bootReader);
        if (FAILED(sets.written->WriteMultiple(kOneProperty, &specifier, &value, PID_FIRST_USABLE)))
            Fail(buildfailure::kBootProperties);
        found[static_cast<std::size_t>(std::distance(kBootIds.begin(), known))] = true;
    });
    if (!std::all_of(found.begin(), found.end(), [](bool is) { return is; }) ||
        FAILED(joliet.setProperties(sets.written.get())))
        Fail(buildfailure::kBootProperties);

    // Read back once, as the service gives the properties now; the values are not needed.
    if (FAILED(joliet.getProperties(&sets.readBack)) || !sets.readBack)
        Fail(buildfailure::kMissingInterface);
    ForEachProperty(sets.readBack.get(), [](PROPID, const PROPSPEC&, PROPVARIANT&) {});
    return sets;
}
