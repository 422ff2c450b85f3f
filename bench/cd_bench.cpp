// SPDX-License-Identifier: GPL-2.0-or-later
// Records a bootable disc of about 300 MB (100 files of 3 MB and a boot floppy) into a file
// recorder through the disc master, and builds the same disc with xorriso's mkisofs emulation
// from the same files: wall time and peak memory of each, side by side.
//
//   cd_bench [folder]   (default: a new folder under $TMPDIR or /tmp, removed afterwards)

#include "platform/ComApartment.h"
#include "platform/ComPtr.h"
#include "platform/ImageMastering.h"
#include "platform/Storage.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace win;
using platform::ComPtr;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 100;
constexpr std::size_t kFileBytes = 3 * 1024 * 1024;
constexpr std::size_t kFloppyBytes = 1474560;
constexpr std::size_t kChunkBytes = 1024 * 1024;
constexpr DWORD kStorageMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE;
constexpr DWORD kStreamMode = STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE;
constexpr PROPID kBootEnabled = 4;
constexpr PROPID kBootImage = 8;
constexpr const char* kBootName = "boot.img";
constexpr const char* kCatalogName = "boot.cat";
constexpr const char* kRecordersVariable = "BOOTMEDIA_RECORDERS";
constexpr const char* kClearRefs = "/proc/self/clear_refs";
constexpr const char* kResetPeak = "5";
constexpr const char* kStatus = "/proc/self/status";
constexpr const char* kPeakField = "VmHWM:";
constexpr double kMiB = 1024.0 * 1024.0;
constexpr double kKiBPerMiB = 1024.0;
constexpr double kMicro = 1e6;

// Bytes that do not compress or repeat: a xorshift generator.
struct Noise {
    std::uint64_t state;
    void fill(std::vector<char>& buffer) {
        for (char& byte : buffer) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            byte = static_cast<char>(state);
        }
    }
};

void WriteNoise(const fs::path& path, std::size_t size, std::uint64_t seed) {
    std::ofstream out(path, std::ios::binary);
    Noise noise{seed};
    std::vector<char> chunk(kChunkBytes);
    for (std::size_t left = size; left > 0;) {
        noise.fill(chunk);
        const std::size_t piece = std::min(left, chunk.size());
        out.write(chunk.data(), static_cast<std::streamsize>(piece));
        left -= piece;
    }
}

// Copies a file into a stream in 1 MiB pieces.
bool CopyInto(const fs::path& path, IStream* stream) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chunk(kChunkBytes);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        ULONG written = 0;
        const auto piece = static_cast<ULONG>(in.gcount());
        if (FAILED(stream->Write(chunk.data(), piece, &written)) || written != piece)
            return false;
    }
    return true;
}

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

double CpuSeconds(const rusage& usage) {
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / kMicro;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The processor time of this process (all its threads) so far.
double OwnCpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return CpuSeconds(usage);
}

// The peak resident memory of this process since the last reset, in MiB.
double PeakMiB() {
    std::ifstream status(kStatus);
    for (std::string line; std::getline(status, line);)
        if (line.rfind(kPeakField, 0) == 0)
            return std::strtod(line.c_str() + std::char_traits<char>::length(kPeakField), nullptr) /
                   kKiBPerMiB;
    return 0;
}

void ResetPeak() {
    std::ofstream(kClearRefs) << kResetPeak;
}

PROPSPEC SpecOf(PROPID id) {
    PROPSPEC specifier = {};
    specifier.ulKind = PRSPEC_PROPID;
    specifier.propid = id;
    return specifier;
}

// The job's steps on the disc master: the file set into a temporary storage, the boot
// properties and AddData; staged() is called before RecordDisc.
HRESULT StageAndRecord(const fs::path& files, const fs::path& disc,
                       const std::function<void()>& staged) {
    setenv(kRecordersVariable, disc.c_str(), 1);
    ComPtr<IDiscMaster> master;
    HRESULT result = CoCreateInstance(CLSID_MSDiscMasterObj, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_IDiscMaster, master.putVoid());
    if (FAILED(result) || FAILED(result = master->Open()))
        return result;
    ComPtr<IEnumDiscRecorders> recorders;
    IDiscRecorder* first[1] = {};
    if (FAILED(result = master->EnumDiscRecorders(recorders.put())) ||
        (result = recorders->Next(1, first, nullptr)) != S_OK)
        return FAILED(result) ? result : E_FAIL;
    const auto recorder = ComPtr<IDiscRecorder>::adopt(first[0]);
    ComPtr<IJolietDiscMaster> joliet;
    if (FAILED(result = master->SetActiveDiscRecorder(recorder.get())) ||
        FAILED(result = master->QueryInterface(IID_IJolietDiscMaster, joliet.putVoid())))
        return result;

    ComPtr<IStorage> storage;
    if (FAILED(result = StgCreateDocfile(nullptr, kStorageMode, 0, storage.put())))
        return result;
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = "file" + std::to_string(i) + ".bin";
        const std::u16string wide(name.begin(), name.end());
        ComPtr<IStream> stream;
        if (FAILED(result = storage->CreateStream(wide.c_str(), kStreamMode, 0, 0, stream.put())))
            return result;
        if (!CopyInto(files / name, stream.get()))
            return E_FAIL;
    }

    ComPtr<IPropertyStorage> properties;
    if (FAILED(result = joliet->GetJolietProperties(properties.put())))
        return result;
    const PROPSPEC enabledSpec = SpecOf(kBootEnabled);
    const PROPSPEC imageSpec = SpecOf(kBootImage);
    PROPVARIANT enabled = {};
    enabled.vt = VT_BOOL;
    enabled.boolVal = VARIANT_TRUE;
    PROPVARIANT image = {};
    properties->WriteMultiple(1, &enabledSpec, &enabled, PID_FIRST_USABLE);
    properties->ReadMultiple(1, &imageSpec, &image);
    const bool copied = image.vt == VT_STREAM && CopyInto(files / kBootName, image.pStream);
    PropVariantClear(&image);
    if (!copied)
        return E_FAIL;
    if (FAILED(result = joliet->SetJolietProperties(properties.get())) ||
        FAILED(result = joliet->AddData(storage.get(), 1)))
        return result;
    storage.reset();
    properties.reset();
    staged();
    return master->RecordDisc(0, 1);
}

// Time and peak memory of one phase.
struct Phase {
    double seconds = 0;
    double cpuSeconds = 0;
    double peakMiB = 0;
};

struct Figures {
    HRESULT result = E_FAIL;
    Phase staging;
    Phase recording;
};

// The job's steps on the disc master: the file set into a temporary storage, the boot
// properties, AddData, and then RecordDisc, each phase measured on its own.
Figures RecordWithDiscMaster(const fs::path& files, const fs::path& disc) {
    Figures figures;
    ResetPeak();
    const Clock::time_point start = Clock::now();
    const double cpuStart = OwnCpuSeconds();
    figures.result = StageAndRecord(files, disc, [&figures, start, cpuStart] {
        figures.staging = {Seconds(start), OwnCpuSeconds() - cpuStart, PeakMiB()};
        ResetPeak();
    });
    figures.recording = {Seconds(start) - figures.staging.seconds,
                         OwnCpuSeconds() - cpuStart - figures.staging.cpuSeconds, PeakMiB()};
    return figures;
}

struct ChildRun {
    int status = -1;
    double cpuSeconds = 0;
    double peakMiB = 0;
};

ChildRun RunXorriso(const fs::path& files, const fs::path& disc) {
    std::vector<std::string> arguments = {"xorriso", "-as", "mkisofs",    "-quiet", "-J", "-b",
                                          kBootName, "-c",  kCatalogName, "-o",     disc, files};
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    ChildRun run;
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv.data());
        _exit(EXIT_FAILURE);
    }
    int status = 0;
    rusage usage = {};
    if (child > 0 && wait4(child, &status, 0, &usage) == child && WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
        run.cpuSeconds = CpuSeconds(usage);
        run.peakMiB = static_cast<double>(usage.ru_maxrss) / kKiBPerMiB;
    }
    return run;
}

double SizeMiB(const fs::path& path) {
    std::error_code error;
    const auto size = fs::file_size(path, error);
    return error ? 0 : static_cast<double>(size) / kMiB;
}

} // namespace

int main(int argc, char** argv) {
    const bool ownFolder = argc < 2;
    std::string folder =
        ownFolder ? (fs::temp_directory_path() / "cd_bench-XXXXXX").string() : std::string(argv[1]);
    if (ownFolder && mkdtemp(folder.data()) == nullptr) {
        std::perror("mkdtemp");
        return EXIT_FAILURE;
    }
    const fs::path root = folder;
    const fs::path files = root / "files";
    fs::create_directories(files);
    for (int i = 0; i < kFiles; ++i)
        WriteNoise(files / ("file" + std::to_string(i) + ".bin"), kFileBytes,
                   static_cast<std::uint64_t>(i) + 1);
    WriteNoise(files / kBootName, kFloppyBytes, kFiles + 1);
    std::printf("file set: %d files of %.0f MiB and a %zu-byte boot floppy in %s\n", kFiles,
                static_cast<double>(kFileBytes) / kMiB, kFloppyBytes, files.c_str());

    int exitCode = EXIT_SUCCESS;
    {
        const platform::ComApartment apartment;
        const Figures figures = RecordWithDiscMaster(files, root / "disc.iso");
        std::printf("disc master, staging into a temporary storage: %.2f s (%.2f s processor), "
                    "peak %.1f MiB\n",
                    figures.staging.seconds, figures.staging.cpuSeconds, figures.staging.peakMiB);
        std::printf("disc master, RecordDisc: result 0x%08X, %.2f s (%.2f s processor), peak "
                    "%.1f MiB, disc %.1f MiB\n",
                    static_cast<unsigned>(figures.result), figures.recording.seconds,
                    figures.recording.cpuSeconds, figures.recording.peakMiB,
                    SizeMiB(root / "disc.iso"));
        if (figures.result != S_OK)
            exitCode = EXIT_FAILURE;
    }
    const Clock::time_point start = Clock::now();
    const ChildRun reference = RunXorriso(files, root / "ref.iso");
    const double seconds = Seconds(start);
    std::printf("xorriso -as mkisofs -J -b %s -c %s: status %d, %.2f s (%.2f s processor), "
                "peak %.1f MiB, disc %.1f MiB\n",
                kBootName, kCatalogName, reference.status, seconds, reference.cpuSeconds,
                reference.peakMiB, SizeMiB(root / "ref.iso"));
    if (reference.status != 0)
        exitCode = EXIT_FAILURE;
    if (ownFolder)
        fs::remove_all(root);
    return exitCode;
}
