// SPDX-License-Identifier: GPL-2.0-or-later
#include "app/ContainerTexts.h"

#include "app/JobState.h"
#include "resfile/Format.h"

namespace {
constexpr int kDriveLetterBase = 64;
}

ResourceText ContainerText(ResourceId id) {
    return ReadResourceText(JobState.resourceFile, id);
}

std::string ContainerString(ResourceId id) {
    const ResourceText text = ContainerText(id);
    return text ? text.get() : "";
}

int DriveLetter(std::int32_t driveNumber) {
    return driveNumber + kDriveLetterBase;
}

std::string IdleStatusLine() {
    return format::FormatResource(
        catalogue::kIdleStatusFormat, ContainerText(catalogue::kIdleStatusFormat).get(),
        {format::Arg::character(DriveLetter(JobState.floppyDriveNumber))});
}
