// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What a backend that has no resource section of its own needs of the program: its dialog
// templates and the pictures of its icon. (A Win32 backend finds both in the executable.)

#include "platform/fw/DialogTemplate.h"

#include <cstdint>
#include <vector>

namespace fw {

/// A picture: width x height pixels, 0xAARRGGBB, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

struct ProgramResources {
    /// The templates, each outliving the backend that is given them.
    std::vector<const DialogTemplate*> dialogs;
    /// The program's icon in each size it is drawn in; the backend sets it on every window.
    std::vector<Image> icon;

    /// The template of dialog id, or null.
    const DialogTemplate* findDialog(int id) const {
        for (const DialogTemplate* dialog : dialogs) {
            if (dialog != nullptr && dialog->id == id)
                return dialog;
        }
        return nullptr;
    }
};

} // namespace fw
