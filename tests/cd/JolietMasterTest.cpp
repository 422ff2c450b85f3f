// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux disc master's Joliet properties and the failures of AddData and RecordDisc that
// leave no disc.
#include "JolietTestbed.h"
#include "ShownStorage.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/DiscTools.h"

#include <array>
#include <filesystem>
#include <string>

using namespace win;
using disctest::JolietTest;
using platform::ComPtr;
using test::Bytes;

namespace {

constexpr PROPID kBootEnabled = 4;
constexpr PROPID kBootPlatform = 6;
constexpr PROPID kBootMedia = 7;
constexpr PROPID kBootImage = 8;
constexpr PROPID kOtherId = 9;

PROPSPEC SpecOf(PROPID id) {
    PROPSPEC specifier = {};
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

// The ids and types the set holds, in its order.
std::vector<std::pair<PROPID, VARTYPE>> Listed(IPropertyStorage* properties) {
    std::vector<std::pair<PROPID, VARTYPE>> listed;
    ComPtr<IEnumSTATPROPSTG> properties_;
    EXPECT_EQ(properties->Enum(properties_.put()), S_OK);
    for (STATPROPSTG stat = {}; properties_ && properties_->Next(1, &stat, nullptr) == S_OK;) {
        CoTaskMemFree(stat.lpwstrName);
        listed.emplace_back(stat.propid, stat.vt);
    }
    return listed;
}

// One value of the set, owned.
struct Value {
    PROPVARIANT value = {};
    Value(IPropertyStorage* properties, PROPID id) {
        const PROPSPEC specifier = SpecOf(id);
        EXPECT_EQ(properties->ReadMultiple(1, &specifier, &value), S_OK);
    }
    ~Value() { PropVariantClear(&value); }
};

void Put(IPropertyStorage* properties, PROPID id, const PROPVARIANT& value) {
    const PROPSPEC specifier = SpecOf(id);
    EXPECT_EQ(properties->WriteMultiple(1, &specifier, &value, PID_FIRST_USABLE), S_OK);
}

ComPtr<IPropertyStorage> Properties(IJolietDiscMaster* joliet) {
    ComPtr<IPropertyStorage> properties;
    EXPECT_EQ(joliet->GetJolietProperties(properties.put()), S_OK);
    return properties;
}

} // namespace

// checks that the Joliet properties hold ids 4, 6, 7 and 8 with their types and the defaults
// (boot off, 80x86, 1.44 MB, an empty stream), that each Get hands out a fresh set with the
// same stream, and that Set takes values over, ignoring other ids with
// IMAPI_S_PROPERTIESIGNORED.
TEST_F(JolietTest, BootPropertiesRoundTrip) {
    const ComPtr<IPropertyStorage> first = Properties(joliet_.get());
    ASSERT_TRUE(first);
    const std::vector<std::pair<PROPID, VARTYPE>> expected = {{kBootEnabled, VT_BOOL},
                                                              {kBootPlatform, VT_UI1},
                                                              {kBootMedia, VT_UI1},
                                                              {kBootImage, VT_STREAM}};
    EXPECT_EQ(Listed(first.get()), expected);
    EXPECT_EQ(Value(first.get(), kBootEnabled).value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Value(first.get(), kBootPlatform).value.bVal, 0);
    EXPECT_EQ(Value(first.get(), kBootMedia).value.bVal, 2);
    const Value image(first.get(), kBootImage);
    STATSTG stat = {};
    ASSERT_EQ(image.value.pStream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 0u);

    PROPVARIANT changed = {};
    changed.vt = VT_BOOL;
    changed.boolVal = 1;
    Put(first.get(), kBootEnabled, changed);
    changed.vt = VT_UI1;
    changed.bVal = 7;
    Put(first.get(), kBootMedia, changed);
    Put(first.get(), kOtherId, changed);
    EXPECT_EQ(joliet_->SetJolietProperties(first.get()), IMAPI_S_PROPERTIESIGNORED);

    const ComPtr<IPropertyStorage> second = Properties(joliet_.get());
    ASSERT_TRUE(second);
    EXPECT_NE(second.get(), first.get());
    EXPECT_EQ(Listed(second.get()), expected);
    EXPECT_EQ(Value(second.get(), kBootEnabled).value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(Value(second.get(), kBootMedia).value.bVal, 7);
    EXPECT_EQ(Value(second.get(), kBootImage).value.pStream, image.value.pStream);
}

// checks that Set refuses a value of another type, or a null stream, with E_INVALIDARG and
// takes nothing over, not even the valid values beside it.
TEST_F(JolietTest, BootPropertiesOfWrongType) {
    struct Case {
        const char* what;
        PROPID id;
        VARTYPE type;
    };
    const Case cases[] = {{"boot as a byte", kBootEnabled, VT_UI1},
                          {"platform as a boolean", kBootPlatform, VT_BOOL},
                          {"media as a 32-bit number", kBootMedia, VT_I4},
                          {"null stream", kBootImage, VT_STREAM},
                          {"image as a byte", kBootImage, VT_UI1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ComPtr<IPropertyStorage> properties = Properties(joliet_.get());
        ASSERT_TRUE(properties);
        PROPVARIANT platform = {};
        platform.vt = VT_UI1;
        platform.bVal = 5;
        Put(properties.get(), kBootPlatform, platform);
        PROPVARIANT wrong = {};
        wrong.vt = c.type;
        Put(properties.get(), c.id, wrong);
        EXPECT_EQ(joliet_->SetJolietProperties(properties.get()), E_INVALIDARG);
        EXPECT_EQ(Value(Properties(joliet_.get()).get(), kBootPlatform).value.bVal, 0);
    }
    EXPECT_EQ(joliet_->SetJolietProperties(nullptr), E_POINTER);
    EXPECT_EQ(joliet_->GetJolietProperties(nullptr), E_POINTER);
}

// checks that AddData refuses a null storage, and a storage that holds a folder or the same
// name twice (in two cases), staging nothing of it.
TEST_F(JolietTest, AddDataRefusesWhatItCannotStage) {
    EXPECT_EQ(joliet_->AddData(nullptr, 1), E_POINTER);
    const auto withFolder = disctest::StorageShowing({{u"a.txt", Bytes(3, 'a')}}, {u"folder"});
    EXPECT_EQ(joliet_->AddData(withFolder.get(), 1), E_NOTIMPL);
    const auto twice =
        disctest::StorageShowing({{u"b.txt", Bytes(3, 'b')}, {u"B.TXT", Bytes(3, 'B')}});
    EXPECT_EQ(joliet_->AddData(twice.get(), 1), IMAPI_E_FILEEXISTS);
    ASSERT_EQ(record(), S_OK);
    EXPECT_TRUE(disctest::DiscFiles(discPath(), dir_.path("files")).empty());
}

// checks that staged streams are opened again when the disc is recorded: the same storage can
// be staged again over itself, and a stream destroyed after AddData fails RecordDisc with
// IMAPI_E_FILEACCESS before the recorder is touched.
TEST_F(JolietTest, StagedStreamsAreReadWhenRecording) {
    const ComPtr<IStorage> storage =
        disctest::StorageWith({{u"a.txt", Bytes(3, 'a')}, {u"b.txt", Bytes(4, 'b')}});
    ASSERT_EQ(joliet_->AddData(storage.get(), 1), S_OK);
    EXPECT_EQ(joliet_->AddData(storage.get(), 0), IMAPI_E_FILEEXISTS);
    ASSERT_EQ(joliet_->AddData(storage.get(), 1), S_OK);
    ASSERT_EQ(storage->DestroyElement(u"b.txt"), S_OK);
    EXPECT_EQ(record(), IMAPI_E_FILEACCESS);
    EXPECT_FALSE(std::filesystem::exists(discPath()));
}

// checks that a closed disc master refuses the Joliet calls and RecordDisc with
// IMAPI_E_NOTOPENED, and that closing forgets the staged files.
TEST_F(JolietTest, ClosedMasterRefuses) {
    ASSERT_EQ(addFiles({{u"a.txt", Bytes(3, 'a')}}), S_OK);
    ASSERT_EQ(master_->Close(), S_OK);
    ComPtr<IPropertyStorage> properties;
    EXPECT_EQ(joliet_->GetJolietProperties(properties.put()), IMAPI_E_NOTOPENED);
    EXPECT_EQ(joliet_->AddData(disctest::StorageWith({}).get(), 1), IMAPI_E_NOTOPENED);
    EXPECT_EQ(master_->RecordDisc(0, 1), IMAPI_E_NOTOPENED);
    ASSERT_EQ(master_->Open(), S_OK);
    EXPECT_EQ(master_->RecordDisc(0, 1), IMAPI_E_NOACTIVERECORDER);
    EXPECT_FALSE(std::filesystem::exists(discPath()));
}

// checks that a simulation succeeds without making a disc, and leaves an older one as it was.
TEST_F(JolietTest, SimulationWritesNothing) {
    ASSERT_EQ(addFiles({{u"a.txt", Bytes(5000, 'a')}}), S_OK);
    ASSERT_EQ(setBoot(disctest::FilledFloppy()), S_OK);
    EXPECT_EQ(master_->RecordDisc(1, 1), S_OK);
    EXPECT_FALSE(std::filesystem::exists(discPath()));
    ASSERT_TRUE(test::WriteFileBytes(discPath(), Bytes(10, 'o')));
    EXPECT_EQ(master_->RecordDisc(1, 0), S_OK);
    EXPECT_EQ(test::ReadFileBytes(discPath()), Bytes(10, 'o'));
}

// checks that a recorder whose folder went away fails with IMAPI_E_DEVICE_NOTACCESSIBLE and
// leaves no file.
TEST_F(JolietTest, RecorderFolderGone) {
    const std::string folder = dir_.path("gone");
    std::filesystem::create_directory(folder);
    const platform::layer::ScopedRecorderSources sources(
        {.opticalDrives = false, .files = {folder + "/disc.iso"}});
    ComPtr<IDiscMaster> master;
    ASSERT_EQ(CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDiscMaster, master.putVoid()),
              S_OK);
    ASSERT_EQ(master->Open(), S_OK);
    ComPtr<IEnumDiscRecorders> recorders;
    ASSERT_EQ(master->EnumDiscRecorders(recorders.put()), S_OK);
    IDiscRecorder* first[1] = {};
    ASSERT_EQ(recorders->Next(1, first, nullptr), S_OK);
    const auto recorder = ComPtr<IDiscRecorder>::adopt(first[0]);
    ASSERT_EQ(master->SetActiveDiscRecorder(recorder.get()), S_OK);
    std::filesystem::remove(folder);
    EXPECT_EQ(master->RecordDisc(0, 1), IMAPI_E_DEVICE_NOTACCESSIBLE);
    EXPECT_FALSE(std::filesystem::exists(folder));
}
