// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the guest's job should show, in the texts of the container the guest ran on, and the
// boot image that container holds.

#include "platform/Types.h"
#include "support/ContainerBuilder.h"

#include <ostream>
#include <string>
#include <vector>

namespace rig {

/// A message box as the runner reports it.
struct Box {
    win::UINT style = 0;
    std::string caption;
    std::string text;
    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& box, std::ostream* out);

/// The boxes of report records, in the order shown.
std::vector<Box> BoxesOf(const std::vector<std::vector<std::string>>& records);

class ExpectedBoxes {
public:
    /// Reads the texts and the boot image of the container; valid() tells whether it could.
    explicit ExpectedBoxes(const std::string& container);

    bool valid() const;
    const test::Bytes& image() const { return image_; }

    /// Create Floppy's question.
    Box question() const;
    /// The monitor's success message for drive letter.
    Box success(char letter) const;
    /// The writer's box for a cylinder that did not get onto the disk.
    Box writeError() const;

private:
    std::string text(std::uint16_t id) const;

    std::string container_;
    test::Bytes image_;
};

} // namespace rig
