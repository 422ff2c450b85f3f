// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/Resources.h"

#include "res/IconArt.h"
#include "res/MainDialogTemplate.h"

namespace res {

fw::ProgramResources BootMediaResources() {
    fw::ProgramResources resources;
    resources.dialogs.push_back(&kMainDialogTemplate);
    for (const IndexedImage& image : DrawMainIconGroup())
        resources.icon.push_back(ToImage(image));
    return resources;
}

} // namespace res
