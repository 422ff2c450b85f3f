// SPDX-License-Identifier: GPL-2.0-or-later
// Builds the sample boot floppy image: the boot sector, its second stage in the reserved area
// behind it, and a FAT12 file system holding the files named on the command line. Every unused
// data cluster holds the fill byte, as a freshly formatted disk does, so only the front cylinders
// carry data and a floppy writer puts just those on the disk.
//
// Usage: make_floppy BOOTSECTOR STAGE2 OUT [FILE...]

#include "resfile/Catalogue.h"
#include "resfile/LittleEndian.h"
#include "sample/Bytes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using sample::Bytes;
using sample::ReadBytes;

constexpr std::uint8_t kFillByte = 0xF6;
constexpr std::size_t kSignatureOffset = 510;
constexpr std::uint16_t kBootSignature = 0xAA55;

// Offsets of the BIOS parameter block fields the layout is taken from.
constexpr std::size_t kBpbBytesPerSector = 11;
constexpr std::size_t kBpbSectorsPerCluster = 13;
constexpr std::size_t kBpbReservedSectors = 14;
constexpr std::size_t kBpbFatCount = 16;
constexpr std::size_t kBpbRootEntries = 17;
constexpr std::size_t kBpbTotalSectors = 19;
constexpr std::size_t kBpbMedia = 21;
constexpr std::size_t kBpbSectorsPerFat = 22;
constexpr std::size_t kBpbSectorsPerTrack = 24;
constexpr std::size_t kBpbHeads = 26;
constexpr std::size_t kBpbVolumeLabel = 43;

constexpr std::uint32_t kDirEntryBytes = 32;
constexpr std::size_t kShortNameChars = 8;
constexpr std::size_t kShortExtChars = 3;
constexpr std::size_t kDirEntryAttributes = 11;
constexpr std::size_t kDirEntryTime = 22;
constexpr std::size_t kDirEntryDate = 24;
constexpr std::size_t kDirEntryCluster = 26;
constexpr std::size_t kDirEntrySize = 28;
constexpr std::uint8_t kAttrVolumeLabel = 0x08;
constexpr std::uint8_t kAttrArchive = 0x20;
// Fixed time stamp (2024-01-01 12:00), so that the image is the same on every build.
constexpr std::uint16_t kDosDate = ((2024 - 1980) << 9) | (1 << 5) | 1;
constexpr std::uint16_t kDosTime = 12 << 11;

constexpr std::uint16_t kFatMediaHigh = 0xF00;
constexpr std::uint16_t kFatEndOfChain = 0xFFF;
constexpr std::uint16_t kFirstCluster = 2;
constexpr std::uint32_t kWordBytes = 2;

std::uint16_t Get16(const Bytes& bytes, std::size_t at) {
    return le::Read16(bytes.data() + at);
}

void Put16(Bytes& bytes, std::size_t at, std::uint32_t value) {
    le::Write16(bytes.data() + at, static_cast<std::uint16_t>(value));
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    le::Write32(bytes.data() + at, value);
}

struct Layout {
    std::uint32_t reservedSectors;
    std::uint32_t fatCount;
    std::uint32_t sectorsPerFat;
    std::uint32_t rootSectors;
    std::uint32_t sectorsPerCluster;
    std::uint32_t rootEntries;
    std::uint8_t media;

    std::uint32_t fatStart() const { return reservedSectors; }
    std::uint32_t rootStart() const { return fatStart() + fatCount * sectorsPerFat; }
    std::uint32_t dataStart() const { return rootStart() + rootSectors; }
    std::uint32_t clusterBytes() const { return sectorsPerCluster * catalogue::kSectorBytes; }
};

bool Fail(const std::string& message) {
    std::fprintf(stderr, "make_floppy: %s\n", message.c_str());
    return false;
}

// Takes the file system layout from the boot sector and checks that it is a 1.44 MB floppy's.
std::optional<Layout> ReadLayout(const Bytes& boot) {
    if (boot.size() != catalogue::kSectorBytes || Get16(boot, kSignatureOffset) != kBootSignature)
        return Fail("the boot sector must be 512 bytes ending in 55 AA"), std::nullopt;
    if (Get16(boot, kBpbBytesPerSector) != catalogue::kSectorBytes ||
        Get16(boot, kBpbSectorsPerTrack) != catalogue::kSectorsPerTrack ||
        Get16(boot, kBpbHeads) != catalogue::kHeads ||
        std::uint32_t{Get16(boot, kBpbTotalSectors)} * catalogue::kSectorBytes !=
            catalogue::kBootImageBytes)
        return Fail("the boot sector's parameter block is not a 1.44 MB floppy's"), std::nullopt;
    Layout layout{};
    layout.reservedSectors = Get16(boot, kBpbReservedSectors);
    layout.fatCount = boot[kBpbFatCount];
    layout.sectorsPerFat = Get16(boot, kBpbSectorsPerFat);
    layout.rootEntries = Get16(boot, kBpbRootEntries);
    layout.rootSectors = (layout.rootEntries * kDirEntryBytes + catalogue::kSectorBytes - 1) /
                         catalogue::kSectorBytes;
    layout.sectorsPerCluster = boot[kBpbSectorsPerCluster];
    layout.media = boot[kBpbMedia];
    if (layout.reservedSectors == 0 || layout.fatCount == 0 || layout.sectorsPerCluster == 0)
        return Fail("the boot sector's parameter block is incomplete"), std::nullopt;
    return layout;
}

// The boot sector accepts the second stage when the rotate-and-add sum of its little-endian words
// is 0; the last word is set to make it so.
void SealStage2(Bytes& stage2) {
    std::uint16_t sum = 0;
    const std::size_t last = stage2.size() - kWordBytes;
    for (std::size_t at = 0; at < last; at += kWordBytes)
        sum = static_cast<std::uint16_t>(std::rotl(sum, 1) + Get16(stage2, at));
    Put16(stage2, last, static_cast<std::uint16_t>(0u - std::rotl(sum, 1)));
}

// "readme.txt" -> "README  TXT"; nothing for a name that is no 8.3 name.
std::optional<std::string> ShortName(const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    const std::size_t dot = name.find('.');
    const std::string stem = name.substr(0, dot);
    const std::string ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    const auto plain = [](const std::string& part) {
        return std::all_of(part.begin(), part.end(), [](unsigned char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-';
        });
    };
    if (stem.empty() || stem.size() > kShortNameChars || ext.size() > kShortExtChars ||
        !plain(stem) || !plain(ext))
        return std::nullopt;
    std::string result = stem;
    result.resize(kShortNameChars, ' ');
    result += ext;
    result.resize(kShortNameChars + kShortExtChars, ' ');
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

void PutDirEntry(Bytes& image, std::size_t at, const std::string& name, std::uint8_t attributes,
                 std::uint32_t cluster, std::uint32_t size) {
    std::copy(name.begin(), name.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
    image[at + kDirEntryAttributes] = attributes;
    Put16(image, at + kDirEntryTime, kDosTime);
    Put16(image, at + kDirEntryDate, kDosDate);
    Put16(image, at + kDirEntryCluster, cluster);
    Put32(image, at + kDirEntrySize, size);
}

// FAT12 packs two 12-bit entries into three bytes: an even entry takes the low 12 bits of its
// 16-bit window, an odd one the high 12 bits.
void PutFat12(Bytes& image, std::size_t fatAt, const std::vector<std::uint16_t>& fat) {
    constexpr std::uint16_t kEvenKeeps = 0xF000;
    constexpr std::uint16_t kOddKeeps = 0x000F;
    constexpr int kOddShift = 4;
    for (std::size_t n = 0; n < fat.size(); ++n) {
        const std::size_t at = fatAt + n * 3 / 2;
        const bool even = n % 2 == 0;
        const std::uint16_t kept = Get16(image, at) & (even ? kEvenKeeps : kOddKeeps);
        Put16(image, at, kept | (even ? fat[n] : fat[n] << kOddShift));
    }
}

bool Build(const std::string& bootPath, const std::string& stage2Path, const std::string& outPath,
           const std::vector<std::string>& filePaths) {
    const std::optional<Bytes> boot = ReadBytes(bootPath);
    std::optional<Bytes> stage2 = ReadBytes(stage2Path);
    if (!boot || !stage2)
        return Fail("cannot read the boot sector or the second stage");
    const std::optional<Layout> layout = ReadLayout(*boot);
    if (!layout)
        return false;
    const std::size_t stage2Room = (layout->reservedSectors - 1) * catalogue::kSectorBytes;
    if (stage2->empty() || stage2->size() % catalogue::kSectorBytes != 0 ||
        stage2->size() > stage2Room)
        return Fail("the second stage must be whole sectors that fit the reserved area");
    SealStage2(*stage2);

    Bytes image(catalogue::kBootImageBytes, kFillByte);
    std::fill_n(image.begin(), layout->dataStart() * catalogue::kSectorBytes, 0);
    std::copy(boot->begin(), boot->end(), image.begin());
    std::copy(stage2->begin(), stage2->end(), image.begin() + catalogue::kSectorBytes);

    const std::uint32_t totalSectors = catalogue::kBootImageBytes / catalogue::kSectorBytes;
    const std::uint32_t clusterCount =
        (totalSectors - layout->dataStart()) / layout->sectorsPerCluster;
    std::vector<std::uint16_t> fat(clusterCount + kFirstCluster, 0);
    fat[0] = kFatMediaHigh | layout->media;
    fat[1] = kFatEndOfChain;

    const std::size_t rootAt = layout->rootStart() * catalogue::kSectorBytes;
    std::string label(boot->begin() + kBpbVolumeLabel,
                      boot->begin() + kBpbVolumeLabel + kShortNameChars + kShortExtChars);
    PutDirEntry(image, rootAt, label, kAttrVolumeLabel, 0, 0);
    if (filePaths.size() + 1 > layout->rootEntries)
        return Fail("too many files for the root folder");

    std::uint32_t nextCluster = kFirstCluster;
    for (std::size_t i = 0; i < filePaths.size(); ++i) {
        const std::optional<std::string> name = ShortName(filePaths[i]);
        const std::optional<Bytes> data = ReadBytes(filePaths[i]);
        if (!name || !data)
            return Fail("cannot put " + filePaths[i] + " on the disk (unreadable or no 8.3 name)");
        const std::uint32_t clusters = static_cast<std::uint32_t>(
            (data->size() + layout->clusterBytes() - 1) / layout->clusterBytes());
        if (nextCluster + clusters > fat.size())
            return Fail("the files do not fit the disk");
        const std::uint32_t first = clusters == 0 ? 0 : nextCluster;
        for (std::uint32_t c = 0; c < clusters; ++c, ++nextCluster)
            fat[nextCluster] =
                c + 1 == clusters ? kFatEndOfChain : static_cast<std::uint16_t>(nextCluster + 1);
        const std::size_t dataAt = (layout->dataStart() + (std::size_t{first} - kFirstCluster) *
                                                              layout->sectorsPerCluster) *
                                   catalogue::kSectorBytes;
        if (clusters != 0) {
            std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(dataAt),
                        clusters * layout->clusterBytes(), 0);
            std::copy(data->begin(), data->end(),
                      image.begin() + static_cast<std::ptrdiff_t>(dataAt));
        }
        PutDirEntry(image, rootAt + (i + 1) * kDirEntryBytes, *name, kAttrArchive, first,
                    static_cast<std::uint32_t>(data->size()));
    }
    for (std::uint32_t copy = 0; copy < layout->fatCount; ++copy)
        PutFat12(image,
                 (layout->fatStart() + copy * layout->sectorsPerFat) * catalogue::kSectorBytes,
                 fat);

    if (!sample::WriteBytes(outPath, image))
        return Fail("cannot write " + outPath);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    constexpr int kFixedArgs = 4;
    if (argc < kFixedArgs) {
        std::fputs("usage: make_floppy BOOTSECTOR STAGE2 OUT [FILE...]\n", stderr);
        return 2;
    }
    const std::vector<std::string> files(argv + kFixedArgs, argv + argc);
    return Build(argv[1], argv[2], argv[3], files) ? 0 : 1;
}
