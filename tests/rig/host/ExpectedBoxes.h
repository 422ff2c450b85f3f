// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the guest's job should show, in the texts of the container the guest ran on, as batch
// mode reports each box: "box KIND [CAPTION] TEXT", a question with the answer it got; and the
// boot image that container holds.

#include "platform/Types.h"
#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"

#include <string>

namespace rig {

class ExpectedBoxes {
public:
    /// Reads the boot image of the container; valid() tells whether it could.
    explicit ExpectedBoxes(const std::string& container);

    bool valid() const;
    const test::Bytes& image() const { return image_; }

    /// Create Floppy's question, answered OK.
    std::string question() const;
    /// The monitor's success message for drive letter.
    std::string success(char letter) const;
    /// The writer's box for a cylinder that did not get onto the disk.
    std::string writeError() const;

private:
    std::string text(ResourceId id) const;
    /// The report's line for a box of style with the caption of id captionId and text.
    std::string box(win::UINT style, ResourceId captionId, const std::string& text) const;

    std::string container_;
    test::Bytes image_;
};

} // namespace rig
