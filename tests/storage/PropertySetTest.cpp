// SPDX-License-Identifier: GPL-2.0-or-later
// The layer's in-memory property set and the clearing and copying of property values.
#include "platform/linux/storage/PropertySet.h"

#include "StorageTesting.h"
#include "platform/linux/com/ComObject.h"
#include "platform/linux/storage/StreamBytes.h"
#include "platform/linux/storage/TaskMemory.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace win;
using namespace storagetest;
using platform::layer::PropertySet;

namespace {

constexpr FMTID kFormat = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
constexpr PROPID kBootable = 4;
constexpr PROPID kPlatform = 6;
constexpr PROPID kEmulation = 7;
constexpr PROPID kBootImage = 8;
// Type flags and a specifier kind the set does not take, and its first reserved id.
constexpr VARTYPE kVectorFlag = 0x1000;
constexpr VARTYPE kArrayFlag = 0x2000;
constexpr ULONG kUnknownKind = 2;
constexpr PROPID kFirstReservedId = 0x80000000u;

PROPSPEC ById(PROPID id) {
    PROPSPEC specifier{};
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

PROPSPEC ByName(const char16_t* name) {
    PROPSPEC specifier{};
    specifier.ulKind = PRSPEC_LPWSTR;
    specifier.lpwstr = const_cast<LPOLESTR>(name);
    return specifier;
}

PROPVARIANT Value(VARTYPE type) {
    PROPVARIANT value;
    PropVariantInit(&value);
    value.vt = type;
    return value;
}

HRESULT WriteOne(IPropertyStorage* set, const PROPSPEC& specifier, const PROPVARIANT& value) {
    return set->WriteMultiple(1, &specifier, &value, PID_FIRST_USABLE);
}

// The references an object holds now, by the counts AddRef and Release return.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

// Every property of the set, one Next at a time as the CD build job fetches them.
std::vector<STATPROPSTG> Enumerate(IPropertyStorage* set) {
    std::vector<STATPROPSTG> properties;
    ComPtr<IEnumSTATPROPSTG> enumerator;
    EXPECT_EQ(set->Enum(enumerator.put()), S_OK);
    STATPROPSTG property{};
    while (enumerator && enumerator->Next(1, &property, nullptr) == S_OK)
        properties.push_back(property);
    return properties;
}

} // namespace

// checks the CD build job's Joliet pass over a set such as the disc master gives: every
// property read by id, ids 4, 6 and 7 changed and written back, the boot image copied into
// the stream of id 8; the read-back sees it all, and no stream reference is left over.
TEST(PropertySet, JolietBootPassRoundTrips) {
    TempFolderScope folder;
    ComPtr<IStorage> masterStorage = NewStorage();
    ComPtr<IStorage> bootStorage = NewStorage();
    ASSERT_TRUE(masterStorage && bootStorage);
    ComPtr<IStream> imageStream = CreateStream(masterStorage.get(), u"boot", kReadWriteMode);
    ASSERT_TRUE(imageStream);
    const std::vector<unsigned char> image = Pattern(kBootImageSize, 9);
    WriteInPieces(CreateStream(bootStorage.get(), u"bootimg").get(), image);
    ComPtr<IStream> bootReader = OpenStream(bootStorage.get(), u"bootimg");
    ASSERT_TRUE(bootReader);

    ComPtr<IPropertyStorage> set = platform::layer::MakeComObject<PropertySet>(kFormat);
    PROPVARIANT stream = Value(VT_STREAM);
    stream.pStream = imageStream.get();
    ASSERT_EQ(WriteOne(set.get(), ById(kBootable), Value(VT_BOOL)), S_OK);
    ASSERT_EQ(WriteOne(set.get(), ById(kPlatform), Value(VT_UI1)), S_OK);
    ASSERT_EQ(WriteOne(set.get(), ById(kEmulation), Value(VT_UI1)), S_OK);
    ASSERT_EQ(WriteOne(set.get(), ById(kBootImage), stream), S_OK);
    EXPECT_EQ(References(imageStream.get()), 2u);

    const std::vector<STATPROPSTG> listed = Enumerate(set.get());
    ASSERT_EQ(listed.size(), 4u);
    for (const STATPROPSTG& property : listed) {
        SCOPED_TRACE(property.propid);
        EXPECT_EQ(property.lpwstrName, nullptr);
        const PROPSPEC specifier = ById(property.propid);
        PROPVARIANT value = Value(VT_EMPTY);
        ASSERT_EQ(set->ReadMultiple(1, &specifier, &value), S_OK);
        EXPECT_EQ(value.vt, property.vt);
        if (property.propid == kBootable) {
            value.iVal = 1;
        } else if (property.propid == kPlatform) {
            value.bVal = 0;
        } else if (property.propid == kEmulation) {
            value.bVal = 2;
        } else if (property.propid == kBootImage) {
            EXPECT_EQ(bootReader->CopyTo(value.pStream, {kBootImageSize}, nullptr, nullptr), S_OK);
        }
        EXPECT_EQ(set->WriteMultiple(1, &specifier, &value, PID_FIRST_USABLE), S_OK);
        EXPECT_EQ(PropVariantClear(&value), S_OK);
    }

    const PROPSPEC all[] = {ById(kBootable), ById(kPlatform), ById(kEmulation), ById(kBootImage)};
    PROPVARIANT values[4];
    ASSERT_EQ(set->ReadMultiple(4, all, values), S_OK);
    EXPECT_EQ(values[0].iVal, 1);
    EXPECT_EQ(values[1].bVal, 0);
    EXPECT_EQ(values[2].bVal, 2);
    ASSERT_EQ(values[3].vt, VT_STREAM);
    ComPtr<platform::layer::IStreamBytes> staged;
    ASSERT_EQ(
        values[3].pStream->QueryInterface(platform::layer::IID_IStreamBytes, staged.putVoid()),
        S_OK);
    std::vector<unsigned char> got(kBootImageSize);
    ULONG read = 0;
    EXPECT_EQ(staged->ReadAt(0, got.data(), kBootImageSize, &read), S_OK);
    EXPECT_EQ(got, image);
    staged.reset();
    for (PROPVARIANT& value : values)
        EXPECT_EQ(PropVariantClear(&value), S_OK);

    EXPECT_EQ(References(imageStream.get()), 2u);
    set.reset();
    EXPECT_EQ(References(imageStream.get()), 1u);
}

// checks that values are copies: a string read back is the reader's own, a stream read back
// holds its own reference, and a property the set lacks reads as VT_EMPTY (S_FALSE for all).
TEST(PropertySet, ReadMultipleHandsOutCopies) {
    TempFolderScope folder;
    ComPtr<IStorage> storage = NewStorage();
    ASSERT_TRUE(storage);
    ComPtr<IStream> stream = CreateStream(storage.get(), u"s");
    ASSERT_TRUE(stream);
    ComPtr<IPropertyStorage> set = platform::layer::MakeComObject<PropertySet>(kFormat);
    PROPVARIANT written[3] = {Value(VT_BSTR), Value(VT_LPWSTR), Value(VT_STREAM)};
    written[0].bstrVal = SysAllocString(u"volume");
    written[1].pwszVal = platform::layer::CopyToTaskMemory(u"label");
    written[2].pStream = stream.get();
    stream->AddRef();
    const PROPSPEC specifiers[] = {ById(2), ByName(u"Label"), ById(3)};
    ASSERT_EQ(set->WriteMultiple(3, specifiers, written, PID_FIRST_USABLE), S_OK);
    for (PROPVARIANT& value : written)
        EXPECT_EQ(PropVariantClear(&value), S_OK);
    EXPECT_EQ(References(stream.get()), 2u);

    const PROPSPEC asked[] = {ById(2), ByName(u"LABEL"), ById(3), ById(9), ByName(u"none")};
    PROPVARIANT read[5];
    ASSERT_EQ(set->ReadMultiple(5, asked, read), S_OK);
    EXPECT_EQ(std::u16string(read[0].bstrVal, SysStringLen(read[0].bstrVal)), u"volume");
    EXPECT_EQ(read[1].vt, VT_LPWSTR);
    EXPECT_EQ(std::u16string(read[1].pwszVal), u"label");
    EXPECT_EQ(read[2].pStream, stream.get());
    EXPECT_EQ(References(stream.get()), 3u);
    EXPECT_EQ(read[3].vt, VT_EMPTY);
    EXPECT_EQ(read[4].vt, VT_EMPTY);
    for (PROPVARIANT& value : read)
        EXPECT_EQ(PropVariantClear(&value), S_OK);
    EXPECT_EQ(References(stream.get()), 2u);
    EXPECT_EQ(set->ReadMultiple(1, &asked[3], read), S_FALSE);

    // The name went to the first free id from 2 on: 2 and 3 were taken.
    const PROPID named = 4;
    LPOLESTR name = nullptr;
    ASSERT_EQ(set->ReadPropertyNames(1, &named, &name), S_OK);
    EXPECT_EQ(std::u16string(name), u"Label");
    CoTaskMemFree(name);
    const std::vector<STATPROPSTG> listed = Enumerate(set.get());
    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(std::u16string(listed[2].lpwstrName), u"Label");
    for (const STATPROPSTG& property : listed)
        CoTaskMemFree(property.lpwstrName);
}

// checks that a write with one bad part changes nothing, and each bad part's code.
TEST(PropertySet, WriteMultipleIsAllOrNothing) {
    ComPtr<IPropertyStorage> set = platform::layer::MakeComObject<PropertySet>(kFormat);
    PROPVARIANT values[2] = {Value(VT_UI4), Value(VT_UI1)};
    values[0].ulVal = 77;
    PROPSPEC badKind = ById(5);
    badKind.ulKind = kUnknownKind;
    PROPVARIANT vector = Value(kVectorFlag | VT_UI1);
    const struct {
        const char* what;
        PROPSPEC second;
        PROPVARIANT secondValue;
        PROPID firstNameId;
        HRESULT expected;
    } cases[] = {
        {"reserved id 1", ById(1), values[1], PID_FIRST_USABLE, STG_E_INVALIDPARAMETER},
        {"id of the set's behaviour", ById(kFirstReservedId), values[1], PID_FIRST_USABLE,
         STG_E_INVALIDPARAMETER},
        {"unknown kind", badKind, values[1], PID_FIRST_USABLE, STG_E_INVALIDPARAMETER},
        {"empty name", ByName(u""), values[1], PID_FIRST_USABLE, STG_E_INVALIDPARAMETER},
        {"vector value", ById(5), vector, PID_FIRST_USABLE, STG_E_INVALIDPARAMETER},
        {"first name id 1", ById(5), values[1], 1, STG_E_INVALIDPARAMETER},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const PROPSPEC specifiers[] = {ById(2), test.second};
        const PROPVARIANT written[] = {values[0], test.secondValue};
        EXPECT_EQ(set->WriteMultiple(2, specifiers, written, test.firstNameId), test.expected);
        PROPVARIANT read = Value(VT_EMPTY);
        EXPECT_EQ(set->ReadMultiple(1, specifiers, &read), S_FALSE);
    }
    EXPECT_EQ(set->WriteMultiple(1, nullptr, values, PID_FIRST_USABLE), STG_E_INVALIDPOINTER);
    const PROPID ids[] = {2, 3};
    LPOLESTR names[] = {const_cast<LPOLESTR>(u"same"), const_cast<LPOLESTR>(u"SAME")};
    EXPECT_EQ(set->WritePropertyNames(2, ids, names), STG_E_FILEALREADYEXISTS);
    LPOLESTR read[2] = {};
    EXPECT_EQ(set->ReadPropertyNames(2, ids, read), S_FALSE);
}

// checks that PropVariantClear frees what each type owns and refuses a type it does not
// know, and that PropVariantCopy gives independent copies.
TEST(PropVariant, ClearAndCopyFollowTheType) {
    PROPVARIANT text = Value(VT_LPSTR);
    text.pszVal = static_cast<LPSTR>(CoTaskMemAlloc(3));
    std::memcpy(text.pszVal, "ab", 3);
    PROPVARIANT copy = Value(VT_EMPTY);
    ASSERT_EQ(PropVariantCopy(&copy, &text), S_OK);
    EXPECT_NE(copy.pszVal, text.pszVal);
    EXPECT_STREQ(copy.pszVal, "ab");
    EXPECT_EQ(PropVariantClear(&text), S_OK);
    EXPECT_EQ(text.vt, VT_EMPTY);
    EXPECT_EQ(PropVariantClear(&copy), S_OK);

    CLSID id = kFormat;
    PROPVARIANT guid = Value(VT_CLSID);
    guid.puuid = &id;
    ASSERT_EQ(PropVariantCopy(&copy, &guid), S_OK);
    EXPECT_NE(copy.puuid, &id);
    EXPECT_EQ(*copy.puuid, kFormat);
    EXPECT_EQ(PropVariantClear(&copy), S_OK);

    PROPVARIANT unknown = Value(kArrayFlag | VT_UI1);
    unknown.lVal = 5;
    EXPECT_EQ(PropVariantClear(&unknown), STG_E_INVALIDPARAMETER);
    EXPECT_EQ(unknown.lVal, 5);
    EXPECT_EQ(PropVariantCopy(&copy, &unknown), STG_E_INVALIDPARAMETER);
    EXPECT_EQ(copy.vt, VT_EMPTY);
    EXPECT_EQ(PropVariantClear(nullptr), S_OK);
}
