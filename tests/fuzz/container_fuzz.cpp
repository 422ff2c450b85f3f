// SPDX-License-Identifier: GPL-2.0-or-later
// The container reader on arbitrary files: each input becomes the container file, is opened
// read-only, and every operation runs on the identifiers its directory names and on a few fixed
// ones. Besides memory errors, it stops on a broken promise of the reader: a null string, an
// error left pending by a loader, data larger than the file.

#include "platform/Files.h"
#include "platform/Gdi.h"
#include "resfile/ResourceFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace win;

namespace {

constexpr std::uint32_t kFixedIds[] = {0, 100, 1000, 10000, 66536};
constexpr std::uint16_t kMaxDirectoryIds = 8;

// One file for the whole run, replaced by each input and removed at the end.
class ScratchFile {
public:
    ScratchFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "container_fuzz-XXXXXX").string();
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        close(fd);
        path_ = pattern;
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return path_; }

    void write(const std::uint8_t* data, std::size_t size) const {
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path_.c_str(), "wb"),
                                                                  &std::fclose);
        if (!out || std::fwrite(data, 1, size, out.get()) != size)
            std::abort();
    }

private:
    std::string path_;
};

void Require(bool promise) {
    if (!promise)
        std::abort();
}

// Touches every byte, so that a buffer shorter than its size shows as an overread.
void TouchAll(const void* data, std::uint32_t size) {
    const auto* bytes = static_cast<const volatile std::uint8_t*>(data);
    for (std::uint32_t i = 0; i < size; ++i)
        (void)bytes[i];
}

void Exercise(HANDLE file, std::uint32_t id, const ResourceEntry* directory, std::size_t fileSize) {
    ResourceEntry entry;
    FindResourceEntry(file, id, directory, &entry);
    GetResourceError();

    std::uint32_t size = 0;
    const std::unique_ptr<void, FreeDeleter> data(ReadResourceData(file, id, directory, &size));
    Require(GetResourceError() == kResourceOk || (!data && size == 0));
    if (data) {
        Require(size <= fileSize);
        TouchAll(data.get(), size);
    }

    const ResourceText text = ReadResourceText(file, id);
    Require(text && GetResourceError() == kResourceOk);

    std::uint32_t locationSize = 0;
    GetResourceLocation(file, id, &locationSize);
    GetResourceError();

    if (HBITMAP picture = LoadResourceBitmap(file, id))
        DeleteObject(picture);
    Require(GetResourceError() == kResourceOk);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    scratch.write(data, size);
    HANDLE file = OpenResourceFile(scratch.path().c_str(), true);
    if (file == INVALID_HANDLE_VALUE) {
        Require(GetResourceError() != kResourceOk);
        return 0;
    }

    std::uint16_t count = 0;
    const std::unique_ptr<ResourceEntry, FreeDeleter> directory(
        ReadResourceDirectory(file, &count));
    GetResourceError();
    std::vector<std::uint32_t> ids(std::begin(kFixedIds), std::end(kFixedIds));
    if (directory) {
        for (std::uint16_t i = 0; i < std::min(count, kMaxDirectoryIds); ++i)
            ids.push_back(directory.get()[i].id());
    }
    for (const std::uint32_t id : ids)
        Exercise(file, id, directory.get(), size);

    CloseResourceFile(file);
    Require(GetResourceError() == kResourceOk);
    return 0;
}
