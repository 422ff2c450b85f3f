// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The .iso file a file recorder records into, by way of a temporary file beside it (same folder,
// so the replacement is one rename): libburn writes the temporary file, which takes the .iso's
// place only once it is known to hold the whole disc on the medium. On any failure, and for a
// simulation, the temporary file goes and the .iso stays as it was; a disc file that is there is
// always a complete one.

#include "platform/linux/ScopedDescriptor.h"

#include <optional>
#include <string>
#include <sys/types.h>

namespace platform::layer {

class FileDisc {
public:
    /// Makes a new, empty temporary file in the .iso's folder. Nothing, with errno set, when the
    /// folder takes no new file (missing, read-only, not permitted: really tried, as access()
    /// answers yes to root where a write would still fail).
    static std::optional<FileDisc> Create(const std::string& isoPath);

    FileDisc(FileDisc&& other) noexcept;
    FileDisc& operator=(FileDisc&&) = delete;
    FileDisc(const FileDisc&) = delete;
    FileDisc& operator=(const FileDisc&) = delete;
    /// Removes the temporary file unless it became the .iso.
    ~FileDisc();

    /// The file libburn is to write.
    const std::string& temporaryPath() const { return temporaryPath_; }

    /// Makes the temporary file the .iso, after checking that it holds exactly size bytes and
    /// forcing them onto the medium. False, with the reason in the log, when a step fails; the
    /// .iso is then as it was.
    bool commit(off_t size);

private:
    FileDisc(std::string isoPath, std::string temporaryPath, ScopedDescriptor file);

    std::string isoPath_;
    std::string temporaryPath_;
    // The temporary file as created: what is checked and forced out is this file, whatever the
    // path may name meanwhile.
    ScopedDescriptor file_;
    bool committed_ = false;
};

} // namespace platform::layer
