// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A failed step of the CD build job. The step raises it with a fixed reason text, and the job
// catches it in one place, where the user is shown only the one build error message: the reason
// is for whoever reads the code and the tests.

namespace buildfailure {
inline constexpr const char* kCreatingTemp = "Failed Creating temp";
inline constexpr const char* kCreatingStream = "Failed creating stream";
inline constexpr const char* kCreatingTempBoot = "Failed Creating tempboot";
inline constexpr const char* kOpeningBootStream = "Failed Opening BootStream";
inline constexpr const char* kAddData = "Failed AddData";
inline constexpr const char* kMissingInterface = "Missing interface";
inline constexpr const char* kMissingContent = "Missing content entry";
inline constexpr const char* kReadingEntry = "Failed reading entry";
inline constexpr const char* kWritingStream = "Failed writing stream";
inline constexpr const char* kConvertingName = "Failed converting name";
inline constexpr const char* kBootProperties = "Failed setting boot properties";
} // namespace buildfailure

/// What a failed build step throws; reason is one of the texts above.
struct BuildFailure {
    const char* reason;
};
