// SPDX-License-Identifier: GPL-2.0-or-later
#include "bench/CdBenchSet.h"

#include "bench/BenchProcess.h"
#include "resfile/Catalogue.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <vector>

namespace bench {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = catalogue::kCdFileMax;
constexpr std::size_t kChunkBytes = 1024 * 1024;
constexpr std::uint64_t kBootSeed = kFiles + 1;
constexpr const char* kManifestName = "bench.manifest";
constexpr const char* kContainerName = "install.dat";
// What xorriso names the first El Torito image when it extracts it.
constexpr const char* kExtractedBootImage = "eltorito_img1_bios.img";

// Bytes that neither compress nor repeat: a xorshift generator.
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

bool WriteNoise(const fs::path& path, std::uint64_t size, std::uint64_t seed) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    Noise noise{seed};
    std::vector<char> chunk(kChunkBytes);
    for (std::uint64_t left = size; left > 0 && out;) {
        noise.fill(chunk);
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, chunk.size()));
        out.write(chunk.data(), static_cast<std::streamsize>(piece));
        left -= piece;
    }
    return static_cast<bool>(out.flush());
}

// The texts the job shows when it fails, so that a failure reads as one.
const std::map<ResourceId, const char*> kJobTexts = {
    {catalogue::kErrorCaption, "CD error"},
    {catalogue::kCdBuildError, "The CD could not be built"},
    {catalogue::kRecordError, "The CD could not be recorded"},
    {catalogue::kNoRecorder, "No recordable drive"},
    {catalogue::kDiscMasterError, "No mastering service"},
};

bool WriteManifest(const fs::path& path, const CdBenchSet& set) {
    std::ofstream manifest(path, std::ios::trunc);
    for (const auto& [id, text] : kJobTexts)
        manifest << id << " text: " << text << '\n';
    for (std::size_t i = 0; i < set.names.size(); ++i) {
        manifest << catalogue::kCdFileNameFirst + i << " text: " << set.names[i] << '\n';
        manifest << catalogue::kCdFileContentFirst + i
                 << " file: " << (set.files / set.names[i]).string() << '\n';
    }
    manifest << catalogue::kBootImage << " file: " << (set.files / kBootFloppyName).string()
             << '\n';
    return static_cast<bool>(manifest.flush());
}

bool SameBytes(const fs::path& left, const fs::path& right) {
    std::ifstream a(left, std::ios::binary);
    std::ifstream b(right, std::ios::binary);
    std::vector<char> chunkA(kChunkBytes);
    std::vector<char> chunkB(kChunkBytes);
    while (a && b) {
        a.read(chunkA.data(), static_cast<std::streamsize>(chunkA.size()));
        b.read(chunkB.data(), static_cast<std::streamsize>(chunkB.size()));
        if (a.gcount() != b.gcount() ||
            !std::equal(chunkA.begin(), chunkA.begin() + a.gcount(), chunkB.begin()))
            return false;
    }
    return a.eof() && b.eof();
}

// Extracted files come out read-only; the scratch folder must be removable afterwards.
void RemoveAll(const fs::path& folder) {
    std::error_code error;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, error);
    for (const auto& item : fs::recursive_directory_iterator(folder, error))
        fs::permissions(item.path(), fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(folder, error);
}

} // namespace

bool MakeCdBenchSet(const fs::path& folder, std::uint64_t totalBytes,
                    const std::string& resfileTool, CdBenchSet* set, std::string* error) {
    set->files = folder / "files";
    set->container = folder / kContainerName;
    set->fileBytes = totalBytes / kFiles;
    set->names.clear();
    fs::create_directories(set->files);
    for (int i = 0; i < kFiles; ++i) {
        set->names.push_back("file" + std::to_string(i) + ".bin");
        if (!WriteNoise(set->files / set->names.back(), set->fileBytes,
                        static_cast<std::uint64_t>(i) + 1)) {
            *error = "cannot write " + (set->files / set->names.back()).string();
            return false;
        }
    }
    if (!WriteNoise(set->files / kBootFloppyName, catalogue::kBootImageBytes, kBootSeed)) {
        *error = "cannot write the boot floppy";
        return false;
    }
    const fs::path manifest = folder / kManifestName;
    if (!WriteManifest(manifest, *set)) {
        *error = "cannot write " + manifest.string();
        return false;
    }
    const ChildRun created =
        RunChild({resfileTool, "create", set->container.string(), manifest.string()});
    if (created.status != 0) {
        *error = resfileTool + " create " + set->container.string() + " failed";
        return false;
    }
    return true;
}

std::string CheckDisc(const fs::path& disc, const CdBenchSet& set, const fs::path& scratch) {
    RemoveAll(scratch);
    const ChildRun extracted = RunChild(
        {"xorriso", "-osirrox", "on", "-indev", disc.string(), "-extract", "/", scratch.string()});
    std::string fault;
    if (extracted.status != 0)
        fault = "xorriso cannot extract the disc's files";
    std::size_t found = 0;
    std::error_code error;
    for (const auto& item : fs::directory_iterator(scratch, error)) {
        ++found;
        const std::string name = item.path().filename().string();
        if (fault.empty() && std::find(set.names.begin(), set.names.end(), name) == set.names.end())
            fault = "the disc holds " + name + ", which is not in the set";
    }
    for (const std::string& name : set.names)
        if (fault.empty() && !SameBytes(scratch / name, set.files / name))
            fault = name + " is missing from the disc or differs from its source";
    if (fault.empty() && found != set.names.size())
        fault = "the disc holds " + std::to_string(found) + " files instead of " +
                std::to_string(set.names.size());
    RemoveAll(scratch);
    if (!fault.empty())
        return fault;
    // The El Torito image: the boot floppy, as the container holds it.
    const fs::path bootImages = scratch / "boot";
    fs::create_directories(scratch, error); // xorriso makes the last folder only
    const ChildRun booted = RunChild({"xorriso", "-osirrox", "on", "-indev", disc.string(),
                                      "-extract_boot_images", bootImages.string() + "/"});
    if (booted.status != 0 ||
        !SameBytes(bootImages / kExtractedBootImage, set.files / kBootFloppyName))
        fault = "the boot image is missing from the disc or differs from the boot floppy";
    RemoveAll(scratch);
    return fault;
}

} // namespace bench
