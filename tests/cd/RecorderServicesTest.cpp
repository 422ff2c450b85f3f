// SPDX-License-Identifier: GPL-2.0-or-later
// The Linux layer's CD services: the recorder registry, the drive letters, the burning service
// and the disc master over libburn.
#include "ComFakes.h"
#include "platform/ComApartment.h"
#include "platform/DosDevices.h"
#include "platform/ImageMastering.h"
#include "platform/linux/cd/RecorderRegistry.h"
#include "support/CapturedLog.h"
#include "support/TempDir.h"
#include "support/TmpfsMount.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using namespace win;
using platform::ComPtr;
using platform::layer::RecorderEntry;
using platform::layer::RecorderSources;
using platform::layer::ScopedRecorderSources;

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string PathOf(IDiscRecorder* recorder) {
    BSTR path = nullptr;
    EXPECT_EQ(recorder->GetPath(&path), S_OK);
    const std::string text(path, path + SysStringLen(path));
    SysFreeString(path);
    return text;
}

ComPtr<IDiscMaster> OpenDiscMaster() {
    ComPtr<IDiscMaster> master;
    EXPECT_EQ(CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDiscMaster, master.putVoid()),
              S_OK);
    EXPECT_EQ(master->Open(), S_OK);
    return master;
}

} // namespace

// checks that only usable .iso paths become file recorders, each once, in order, with its
// absolute libburn address, and that an existing file is left as it was; a symbolic link is
// refused, since the recording would replace what it points to.
TEST(RecorderRegistry, OffersUsableIsoFilesOnly) {
    test::TempDir dir;
    std::ofstream(dir.path("kept.iso")) << "old disc";
    std::filesystem::create_directory(dir.path("folder.iso"));
    std::filesystem::create_symlink(dir.path("kept.iso"), dir.path("link.iso"));
    std::filesystem::create_symlink(dir.path("nowhere"), dir.path("dangling.iso"));
    const std::string relativeDir = std::filesystem::relative(dir.root()).string();
    ScopedRecorderSources sources({.opticalDrives = false,
                                   .files = {
                                       dir.path("link.iso"),
                                       dir.path("kept.iso"),
                                       dir.path("dangling.iso"),
                                       dir.path("missing") + "/x.iso",
                                       dir.path("notes.txt"),
                                       dir.path("folder.iso"),
                                       dir.path("UPPER.ISO"),
                                       relativeDir + "/kept.iso",
                                   }});
    const std::vector<RecorderEntry> recorders = platform::layer::Recorders();
    ASSERT_EQ(recorders.size(), 2u);
    EXPECT_EQ(recorders[0].devicePath, "\\Device\\CdRom0");
    EXPECT_EQ(recorders[0].burnAddress, "stdio:" + dir.path("kept.iso"));
    EXPECT_EQ(recorders[1].devicePath, "\\Device\\CdRom1");
    EXPECT_EQ(recorders[1].burnAddress, "stdio:" + dir.path("UPPER.ISO"));
    EXPECT_EQ(Read(dir.path("kept.iso")), "old disc");
    EXPECT_FALSE(std::filesystem::exists(dir.path("UPPER.ISO")));
}

// checks that a file recorder is left out, with the reason in the log, when no file can be
// created in its folder though the folder and the .iso are there: a read-only file system, and
// one without room for another file, where access() still says the folder is writable.
TEST(RecorderRegistry, LeavesOutFoldersThatTakeNoFile) {
    test::TempDir dir;
    const test::CapturedLog log(dir);
    const std::string readOnly = dir.path("ro");
    const std::string full = dir.path("full");
    const test::TmpfsMount readOnlyMount(readOnly, "size=64k");
    const test::TmpfsMount fullMount(full, "size=64k,nr_inodes=2");
    if (!readOnlyMount || !fullMount)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    std::ofstream(readOnly + "/disc.iso") << "old disc";
    std::ofstream(full + "/disc.iso") << "old disc";
    ASSERT_TRUE(readOnlyMount.makeReadOnly());
    ASSERT_EQ(::access(full.c_str(), W_OK), 0);
    ScopedRecorderSources sources(
        {.opticalDrives = false,
         .files = {readOnly + "/disc.iso", full + "/disc.iso", dir.path("kept.iso")}});
    const std::vector<RecorderEntry> recorders = platform::layer::Recorders();
    ASSERT_EQ(recorders.size(), 1u);
    EXPECT_EQ(recorders[0].burnAddress, "stdio:" + dir.path("kept.iso"));
    const std::string text = log.text();
    EXPECT_NE(text.find("File recorder " + readOnly +
                        "/disc.iso is not offered: no file can be created in its folder: "
                        "Read-only file system"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("File recorder " + full +
                        "/disc.iso is not offered: no file can be created in its folder: "
                        "No space left on device"),
              std::string::npos)
        << text;
    EXPECT_EQ(Read(full + "/disc.iso"), "old disc");
}

// checks that the DOS device names give the system volume (too long for 20 bytes) and one
// letter per recorder from E: on, with the exact failures for everything else.
TEST(DosDevices, LettersOfRecorders) {
    test::TempDir dir;
    ScopedRecorderSources sources({.opticalDrives = false, .files = {dir.path("a.iso")}});
    char target[64] = {};
    EXPECT_EQ(QueryDosDeviceA("C:", target, 20), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_EQ(QueryDosDeviceA("C:", target, sizeof(target)), 25u);
    EXPECT_STREQ(target, "\\Device\\HarddiskVolume1");
    ASSERT_EQ(QueryDosDeviceA("e:", target, 20), 16u);
    EXPECT_STREQ(target, "\\Device\\CdRom0");
    EXPECT_EQ(target[15], '\0');
    EXPECT_EQ(QueryDosDeviceA("E:", target, 15), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    for (const char* name : {"D:", "F:", "Z:", "A:", "E", "E:\\"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(QueryDosDeviceA(name, target, sizeof(target)), 0u);
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(QueryDosDeviceA(nullptr, target, sizeof(target)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
}

// checks that the burning service reports a drive exactly when a recorder exists.
TEST(CdBurnService, ReportsRecordableDrive) {
    const platform::ComApartment apartment;
    test::TempDir dir;
    for (bool withRecorder : {true, false}) {
        SCOPED_TRACE(withRecorder);
        RecorderSources named{.opticalDrives = false, .files = {}};
        if (withRecorder)
            named.files.push_back(dir.path("a.iso"));
        ScopedRecorderSources sources(named);
        ComPtr<ICDBurn> burner;
        ASSERT_EQ(CoCreateInstance(CLSID_CDBurn, nullptr,
                                   CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_ICDBurn,
                                   burner.putVoid()),
                  S_OK);
        BOOL hasDrive = !withRecorder;
        EXPECT_EQ(burner->HasRecordableDrive(&hasDrive), S_OK);
        EXPECT_EQ(hasDrive != FALSE, withRecorder);
        EXPECT_EQ(burner->HasRecordableDrive(nullptr), E_POINTER);
    }
}

// checks that a closed disc master refuses its calls, opens once, and closes once.
TEST(DiscMaster, OpenAndCloseStates) {
    const platform::ComApartment apartment;
    ComPtr<IDiscMaster> master;
    ASSERT_EQ(CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IDiscMaster, master.putVoid()),
              S_OK);
    ComPtr<IEnumDiscRecorders> recorders;
    ComPtr<IEnumDiscMasterFormats> formats;
    EXPECT_EQ(master->EnumDiscRecorders(recorders.put()), IMAPI_E_NOTOPENED);
    EXPECT_EQ(master->EnumDiscMasterFormats(formats.put()), IMAPI_E_NOTOPENED);
    EXPECT_EQ(master->Close(), IMAPI_E_NOTOPENED);
    EXPECT_EQ(master->Open(), S_OK);
    EXPECT_EQ(master->Open(), IMAPI_E_ALREADYOPEN);
    EXPECT_EQ(master->EnumDiscRecorders(nullptr), E_POINTER);
    EXPECT_EQ(master->Close(), S_OK);
    EXPECT_EQ(master->Close(), IMAPI_E_NOTOPENED);
    EXPECT_EQ(master->Open(), S_OK);
}

// checks that the disc master offers the Joliet format alone and answers for
// IJolietDiscMaster with one identity.
TEST(DiscMaster, OffersJolietFormat) {
    const platform::ComApartment apartment;
    ComPtr<IDiscMaster> master = OpenDiscMaster();
    ComPtr<IEnumDiscMasterFormats> formats;
    ASSERT_EQ(master->EnumDiscMasterFormats(formats.put()), S_OK);
    IID fetched[2] = {};
    ULONG count = 0;
    EXPECT_EQ(formats->Next(2, fetched, &count), S_FALSE);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(fetched[0], IID_IJolietDiscMaster);

    ComPtr<IJolietDiscMaster> joliet;
    ASSERT_EQ(master->QueryInterface(IID_IJolietDiscMaster, joliet.putVoid()), S_OK);
    ComPtr<IUnknown> fromMaster;
    ComPtr<IUnknown> fromJoliet;
    ASSERT_EQ(master->QueryInterface(IID_IUnknown, fromMaster.putVoid()), S_OK);
    ASSERT_EQ(joliet->QueryInterface(IID_IUnknown, fromJoliet.putVoid()), S_OK);
    EXPECT_EQ(fromMaster.get(), fromJoliet.get());
    ComPtr<ICDBurn> notOffered;
    EXPECT_EQ(master->QueryInterface(IID_ICDBurn, notOffered.putVoid()), E_NOINTERFACE);
    EXPECT_EQ(notOffered.get(), nullptr);
}

// checks that the recorders come in the registry's order with their device paths, that the
// enumerator's Next, Skip, Reset and Clone keep to their counts, and that only the service's
// own recorders can become active.
TEST(DiscMaster, EnumeratesAndActivatesRecorders) {
    const platform::ComApartment apartment;
    test::TempDir dir;
    ScopedRecorderSources sources(
        {.opticalDrives = false,
         .files = {dir.path("a.iso"), dir.path("b.iso"), dir.path("c.iso")}});
    ComPtr<IDiscMaster> master = OpenDiscMaster();
    ComPtr<IEnumDiscRecorders> recorders;
    ASSERT_EQ(master->EnumDiscRecorders(recorders.put()), S_OK);

    IDiscRecorder* first[1] = {};
    EXPECT_EQ(recorders->Next(1, first, nullptr), S_OK);
    auto active = ComPtr<IDiscRecorder>::adopt(first[0]);
    EXPECT_EQ(PathOf(active.get()), "\\Device\\CdRom0");

    ComPtr<IEnumDiscRecorders> clone;
    ASSERT_EQ(recorders->Clone(clone.put()), S_OK);
    IDiscRecorder* rest[3] = {};
    EXPECT_EQ(recorders->Next(2, rest, nullptr), E_POINTER);
    ULONG count = 0;
    EXPECT_EQ(recorders->Next(3, rest, &count), S_FALSE);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(PathOf(rest[0]), "\\Device\\CdRom1");
    EXPECT_EQ(PathOf(rest[1]), "\\Device\\CdRom2");
    rest[0]->Release();
    rest[1]->Release();
    EXPECT_EQ(recorders->Skip(1), S_FALSE);
    EXPECT_EQ(recorders->Reset(), S_OK);
    EXPECT_EQ(recorders->Skip(3), S_OK);

    EXPECT_EQ(clone->Skip(1), S_OK);
    IDiscRecorder* third[1] = {};
    EXPECT_EQ(clone->Next(1, third, &count), S_OK);
    auto last = ComPtr<IDiscRecorder>::adopt(third[0]);
    EXPECT_EQ(PathOf(last.get()), "\\Device\\CdRom2");

    EXPECT_EQ(master->SetActiveDiscRecorder(active.get()), S_OK);
    EXPECT_EQ(master->SetActiveDiscRecorder(nullptr), E_POINTER);
    auto foreign = platform::layer::MakeComObject<fake::Recorder>(fake::NewLog(), "foreign",
                                                                  u"\\Device\\CdRom0");
    EXPECT_EQ(master->SetActiveDiscRecorder(foreign.get()), E_INVALIDARG);
    EXPECT_EQ(active->Close(), S_OK);
}
