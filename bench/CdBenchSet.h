// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The CD benchmark's file set: 100 files of incompressible bytes and a boot floppy, as plain
// files (what xorriso reads) and as a container built from them by the container tool (what the
// CD build job reads), and the check that a disc holds every one of the files byte for byte.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace bench {

/// The boot floppy's name among the plain files, as xorriso's -b names it.
inline constexpr const char* kBootFloppyName = "boot.img";

struct CdBenchSet {
    std::filesystem::path files;     ///< the folder of plain files, boot floppy included
    std::vector<std::string> names;  ///< the CD files' names, in container order
    std::filesystem::path container; ///< the container holding the same files
    std::uint64_t fileBytes = 0;     ///< the size of each CD file
};

/// Makes the set under folder: files of totalBytes / 100 bytes each, and the container built by
/// running the container tool resfileTool on a manifest of them. False, with *error, on failure.
bool MakeCdBenchSet(const std::filesystem::path& folder, std::uint64_t totalBytes,
                    const std::string& resfileTool, CdBenchSet* set, std::string* error);

/// Extracts the disc's files and its El Torito image into scratch (removed again afterwards) and
/// compares them with the set's: empty when the disc holds exactly the set's files with exactly
/// their bytes and the boot floppy as its boot image, else what is wrong.
std::string CheckDisc(const std::filesystem::path& disc, const CdBenchSet& set,
                      const std::filesystem::path& scratch);

} // namespace bench
