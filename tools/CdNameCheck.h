// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The names of the CD file set, checked by the rules the CD build job meets on its way to the
// disc: the conversion from the ANSI code page, the temporary storage's element names, and the
// file names of a Joliet disc that Windows reads. The check calls the very code that applies
// them, so it cannot drift from what the job does.

#include "platform/FileNameRules.h"
#include "tools/ContainerCheck.h"

#include <span>
#include <string>

namespace tools {

/// One name of the set.
struct CdFileName {
    std::string name;  ///< the entry's bytes, in the ANSI code page; only the front of a long one
    std::string label; ///< how messages name the file and its entry
    std::size_t bytes; ///< the length of the whole name, more than name's when only its front is
};

/// The most bytes of a name kept for the check: a name longer than this is too long for the
/// storage in any code page (no code page takes more than 4 bytes for one character), so a set of
/// huge names costs no more memory than one name at a time.
inline constexpr std::size_t kCdNameBytesKept = 4 * platform::kMaxElementNameUnits + 4;

/// Appends one problem for each name the job would refuse, in set order, saying the first rule
/// the name breaks in the order the job applies them (a name that cannot be converted one-to-one;
/// one the storage refuses: too long or a character it does not take; one that is the same as an
/// earlier name once case is ignored, naming both; one the disc cannot carry). A name kept only
/// in part is reported as too long for the storage.
/// The conversion is the ANSI code page's of the environment the tool runs in, as the job's is.
void CheckCdFileNames(std::span<const CdFileName> names, Problems* problems);

} // namespace tools
