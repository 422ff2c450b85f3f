// SPDX-License-Identifier: GPL-2.0-or-later
#include "JolietTestbed.h"

#include <array>

using namespace win;
using platform::ComPtr;

namespace disctest {
namespace {

constexpr DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kStreamMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE;
constexpr PROPID kBootEnabled = 4;
constexpr PROPID kBootPlatform = 6;
constexpr PROPID kBootMedia = 7;
constexpr PROPID kBootImage = 8;
constexpr std::uint8_t kFloppyFill = 0xF6;

PROPSPEC SpecOf(PROPID id) {
    PROPSPEC specifier = {};
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

void Write(IStream* stream, const test::Bytes& bytes) {
    if (bytes.empty())
        return;
    ULONG written = 0;
    ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
    ASSERT_EQ(written, bytes.size());
}

} // namespace

ComPtr<IStorage> StorageWith(const std::vector<StreamFile>& files) {
    ComPtr<IStorage> storage;
    EXPECT_EQ(StgCreateDocfile(nullptr, kStorageMode, 0, storage.put()), S_OK);
    for (const auto& [name, bytes] : files) {
        ComPtr<IStream> stream;
        EXPECT_EQ(storage->CreateStream(name.c_str(), kStreamMode, 0, 0, stream.put()), S_OK);
        if (stream)
            Write(stream.get(), bytes);
    }
    return storage;
}

test::Bytes FilledFloppy(std::size_t size) {
    return test::Bytes(size, kFloppyFill);
}

void JolietTest::SetUp() {
    sources_ = std::make_unique<platform::layer::ScopedRecorderSources>(
        platform::layer::RecorderSources{.opticalDrives = false, .files = {disc_}});
    ASSERT_EQ(CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDiscMaster, master_.putVoid()),
              S_OK);
    ASSERT_EQ(master_->Open(), S_OK);
    ComPtr<IEnumDiscRecorders> recorders;
    ASSERT_EQ(master_->EnumDiscRecorders(recorders.put()), S_OK);
    IDiscRecorder* first[1] = {};
    ASSERT_EQ(recorders->Next(1, first, nullptr), S_OK);
    const auto recorder = ComPtr<IDiscRecorder>::adopt(first[0]);
    ASSERT_EQ(master_->SetActiveDiscRecorder(recorder.get()), S_OK);
    ASSERT_EQ(master_->QueryInterface(IID_IJolietDiscMaster, joliet_.putVoid()), S_OK);
}

HRESULT JolietTest::addFiles(const std::vector<StreamFile>& files, LONG overwrite) {
    return joliet_->AddData(StorageWith(files).get(), overwrite);
}

HRESULT JolietTest::setBoot(const test::Bytes& floppy, std::uint8_t platform, std::uint8_t media) {
    ComPtr<IPropertyStorage> properties;
    EXPECT_EQ(joliet_->GetJolietProperties(properties.put()), S_OK);
    if (!properties)
        return E_FAIL;
    const std::array<PROPSPEC, 4> specifiers = {SpecOf(kBootEnabled), SpecOf(kBootPlatform),
                                                SpecOf(kBootMedia), SpecOf(kBootImage)};
    std::array<PROPVARIANT, 4> values = {};
    EXPECT_EQ(properties->ReadMultiple(4, specifiers.data(), values.data()), S_OK);
    values[0].boolVal = 1;
    values[1].bVal = platform;
    values[2].bVal = media;
    EXPECT_EQ(values[3].vt, VT_STREAM);
    if (values[3].vt == VT_STREAM) {
        // The stream keeps what an earlier pass of the test put there.
        EXPECT_EQ(values[3].pStream->SetSize(ULARGE_INTEGER{}), S_OK);
        EXPECT_EQ(values[3].pStream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), S_OK);
        Write(values[3].pStream, floppy);
    }
    EXPECT_EQ(properties->WriteMultiple(4, specifiers.data(), values.data(), PID_FIRST_USABLE),
              S_OK);
    for (PROPVARIANT& value : values)
        PropVariantClear(&value);
    return joliet_->SetJolietProperties(properties.get());
}

} // namespace disctest
