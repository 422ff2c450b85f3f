// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/ErrorBox.h"

#include "app/JobState.h"
#include "platform/MessageBox.h"
#include "resfile/Catalogue.h"

using namespace win;

ResourceText ReadJobText(ResourceId id) {
    return ReadResourceText(JobState.resourceFile, id);
}

void ShowErrorBox(const ResourceText& text, const ResourceText& caption) {
    MessageBoxA(nullptr, text.get(), caption.get(), MB_ICONERROR);
}

void ShowErrorBox(ResourceId text) {
    const ResourceText caption = ReadJobText(catalogue::kErrorCaption);
    ShowErrorBox(ReadJobText(text), caption);
}
