// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/MessageBoxes.h"

#include "app/ContainerTexts.h"
#include "resfile/Catalogue.h"

using namespace win;

int ShowTextBox(HWND owner, ResourceId text, ResourceId caption, UINT style) {
    return MessageBoxA(owner, ContainerText(text).get(), ContainerText(caption).get(), style);
}

void ShowErrorBox(const ResourceText& text, const ResourceText& caption) {
    MessageBoxA(nullptr, text.get(), caption.get(), MB_ICONERROR);
}

void ShowErrorBox(ResourceId text) {
    ShowTextBox(nullptr, text, catalogue::kErrorCaption, MB_ICONERROR);
}
