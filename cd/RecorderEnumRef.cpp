// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/RecorderEnumRef.h"

#include <utility>

using namespace win;

namespace {
constexpr ULONG kOneRecorder = 1;
} // namespace

RecorderEnumRef::RecorderEnumRef(const DiscMasterRef& discMaster) {
    if (discMaster.empty())
        record(E_POINTER);
    else
        record(discMaster.get()->EnumDiscRecorders(ref_.put()));
}

bool RecorderEnumRef::nextRecorder(RecorderRef& recorder) {
    recorder.reset();
    if (empty())
        return false;
    IDiscRecorder* delivered = nullptr;
    ULONG fetched = 0;
    record(ref_->Next(kOneRecorder, &delivered, &fetched));
    // Owned at once, so that a reference delivered with a failure is released too.
    auto owned = platform::ComPtr<IDiscRecorder>::adopt(delivered);
    if (FAILED(lastResult()) || fetched != kOneRecorder || !owned)
        return false;
    recorder.attach(std::move(owned));
    return true;
}
