// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/JobErrorBox.h"

#include "app/ContainerTexts.h"
#include "platform/MessageBox.h"
#include "resfile/Catalogue.h"

using namespace win;

void ShowJobError(ResourceId text) {
    const ResourceText message = ContainerText(text);
    const ResourceText caption = ContainerText(catalogue::kErrorCaption);
    MessageBoxA(nullptr, message.get(), caption.get(), MB_ICONERROR | MB_OK);
}
