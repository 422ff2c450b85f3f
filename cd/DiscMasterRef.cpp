// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/DiscMasterRef.h"

using namespace win;

namespace {
constexpr ULONG kFormatsFetched = 2;
} // namespace

DiscMasterRef::DiscMasterRef() {
    record(CreateServerObject(CLSID_MSDiscMasterObj, IID_IDiscMaster, ref_.putVoid()));
}

DiscMasterRef::~DiscMasterRef() {
    closeAndRelease();
}

bool DiscMasterRef::open() {
    return !empty() && SUCCEEDED(record(ref_->Open()));
}

void DiscMasterRef::fetchFormats() {
    if (empty())
        return;
    platform::ComPtr<IEnumDiscMasterFormats> formats;
    if (FAILED(record(ref_->EnumDiscMasterFormats(formats.put()))) || !formats)
        return;
    IID fetchedFormats[kFormatsFetched] = {};
    ULONG fetched = 0;
    formats->Next(kFormatsFetched, fetchedFormats, &fetched);
}

bool DiscMasterRef::setActiveRecorder(const RecorderRef& recorder) {
    return !empty() && SUCCEEDED(record(ref_->SetActiveDiscRecorder(recorder.get())));
}
