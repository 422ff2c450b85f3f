// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Identifiers of the program's own resources: the main dialog's template and controls, the
// icon group, and the picture the template names (which the executable does not carry: the
// picture comes from the container at initialisation).

#include <cstdint>

namespace res {

inline constexpr int kIddMainDialog = 101;
inline constexpr int kIdiMainIcon = 118;
inline constexpr std::uint16_t kIdbTemplatePicture = 109;

inline constexpr int kIdcProgress = 1001;
inline constexpr int kIdcStatusText = 1002;
inline constexpr int kIdcCreateFloppy = 1003;
inline constexpr int kIdcExit = 1004;
inline constexpr int kIdcCreateCd = 1005;
inline constexpr int kIdcPicture = 1011;
inline constexpr int kIdcProgressGroup = 1012;
inline constexpr int kIdcStatusGroup = 1013;
inline constexpr int kIdcFloppyList = 1015;
inline constexpr int kIdcRecorderList = 1016;
inline constexpr int kIdcCdGroup = 1017;
inline constexpr int kIdcFloppyGroup = 1018;

} // namespace res
