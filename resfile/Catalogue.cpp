// SPDX-License-Identifier: GPL-2.0-or-later
#include "resfile/Catalogue.h"

#include <algorithm>
#include <array>
#include <functional>

namespace catalogue {
namespace {

constexpr ArgKind kLetter[] = {ArgKind::Character};
constexpr ArgKind kFileName[] = {ArgKind::String};
constexpr ArgKind kCylinderOfCount[] = {ArgKind::Integer, ArgKind::Integer};
constexpr ArgKind kDetailAndLetter[] = {ArgKind::String, ArgKind::Character};

// The texts up to the CD phase texts, and those after them.
constexpr ResourceId kTextsBeforePhases[] = {
    kDialogTitle,       kProgressGroupLabel, kStatusGroupLabel, kExitLabel,
    kFloppyJobLabel,    kErrorCaption,       kQuestionCaption,  kCancelCaption,
    kSuccessCaption,    kIdleStatusFormat,   kOpenedStatus,     kInvalidImageStatusFormat,
    kNoDeviceStatus,    kFloppyStartStatus,  kExitStatus,       kCylinderStatusFormat,
    kInvalidImageError, kFloppyQuestion,     kFloppyCancelled,  kFloppySuccessFormat,
    kNoVwin32Error,     kFloppyWriteError,   kNoMemory9xError,  kLockError,
    kCdQuestion,        kCdBuildError,       kCdSuccessFormat,  kFloppyGroupLabel,
    kCdGroupLabel,      kFloppyButtonLabel,  kCdButtonLabel,    kDriveEntryFormat,
    kRecordError,       kNoRecorder,         kSuccessDetail,    kDiscMasterError,
};
constexpr ResourceId kTextsAfterPhases[] = {kNoFloppyDrive, kNoCdSupport};

constexpr auto kTexts = [] {
    std::array<ResourceId,
               std::size(kTextsBeforePhases) + kCdPhaseCount + std::size(kTextsAfterPhases)>
        ids{};
    auto next =
        std::copy(std::begin(kTextsBeforePhases), std::end(kTextsBeforePhases), ids.begin());
    for (int phase = 0; phase < kCdPhaseCount; ++phase) {
        *next++ = static_cast<ResourceId>(kCdPhaseFirst + phase);
    }
    std::copy(std::begin(kTextsAfterPhases), std::end(kTextsAfterPhases), next);
    return ids;
}();
// Strictly ascending: callers may search the list and rely on no identifier appearing twice.
static_assert(std::adjacent_find(kTexts.begin(), kTexts.end(), std::greater_equal<>()) ==
              kTexts.end());

} // namespace

std::span<const ArgKind> FormatArguments(ResourceId id) {
    switch (id) {
    case kIdleStatusFormat:
    case kDriveEntryFormat:
        return kLetter;
    case kInvalidImageStatusFormat:
        return kFileName;
    case kCylinderStatusFormat:
        return kCylinderOfCount;
    case kFloppySuccessFormat:
    case kCdSuccessFormat:
        return kDetailAndLetter;
    default:
        return {};
    }
}

std::span<const ResourceId> TextIdentifiers() {
    return kTexts;
}

} // namespace catalogue
