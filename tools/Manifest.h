// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The manifest from which the tool builds a container: plain text, one entry per line.
//
//   # a comment (only as a whole line)
//   1000 text: Boot Media Maker
//   1021 text: All data on the disk will be overwritten.\n\nInsert a disk and click OK.
//   10000 file: boot/floppy.img
//
// An entry is a decimal identifier (0 to 65535), then "text:" or "file:". A text is the rest
// of the line with its leading and trailing blanks removed, written in plain ASCII with the
// escapes \n \r \t \\ and \xHH (so "\x20" keeps a blank at either end, "\xE9" is an ANSI
// byte). A file's path is relative to the manifest's folder unless it is absolute; the entry
// holds the file's bytes. Blank lines are skipped. Each identifier appears once.

#include "resfile/ResourceFile.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

/// One line of a manifest that names an entry.
struct ManifestEntry {
    enum class Source { Text, File };

    ResourceId id = 0;
    std::size_t line = 0; ///< counted from 1
    Source source = Source::Text;
    std::string text; ///< Source::Text: the entry's bytes, escapes decoded
    std::string path; ///< Source::File: the file, resolved against the manifest's folder
};

/// Parses a manifest read from manifestPath (used to resolve relative paths and to name lines in
/// messages). Every fault found is appended to *errors as "MANIFEST:LINE: what"; the entries are
/// usable only when no fault was found.
std::vector<ManifestEntry> ParseManifest(std::string_view text, const std::string& manifestPath,
                                         std::vector<std::string>* errors);

/// The manifest syntax in a few lines, for the tool's help.
std::string_view ManifestSyntaxHelp();

} // namespace tools
