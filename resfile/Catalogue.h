// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Every identifier the system reads from the container, the arguments each format text
// receives, and the sizes the container's payloads must have.

#include "resfile/ResourceFile.h"

#include <cstdint>
#include <span>

namespace catalogue {

inline constexpr ResourceId kPicture = 100;

inline constexpr ResourceId kDialogTitle = 1000;
inline constexpr ResourceId kProgressGroupLabel = 1001;
inline constexpr ResourceId kStatusGroupLabel = 1002;
inline constexpr ResourceId kExitLabel = 1004;
inline constexpr ResourceId kFloppyJobLabel = 1005; ///< Create Floppy while a floppy job runs
inline constexpr ResourceId kErrorCaption = 1006;
inline constexpr ResourceId kQuestionCaption = 1007;
inline constexpr ResourceId kCancelCaption = 1008;
inline constexpr ResourceId kSuccessCaption = 1009;
inline constexpr ResourceId kIdleStatusFormat = 1010; ///< character: first floppy's letter
inline constexpr ResourceId kOpenedStatus = 1011;
inline constexpr ResourceId kInvalidImageStatusFormat = 1012; ///< string: the container's name
inline constexpr ResourceId kNoDeviceStatus = 1013;
inline constexpr ResourceId kFloppyStartStatus = 1014;
inline constexpr ResourceId kExitStatus = 1015;
inline constexpr ResourceId kCylinderStatusFormat = 1016; ///< integer, integer
inline constexpr ResourceId kInvalidImageError = 1020;
inline constexpr ResourceId kFloppyQuestion = 1021;
inline constexpr ResourceId kFloppyCancelled = 1022;
inline constexpr ResourceId kFloppySuccessFormat = 1023; ///< string (1040), character
inline constexpr ResourceId kNoVwin32Error = 1024;
inline constexpr ResourceId kFloppyWriteError = 1026;
inline constexpr ResourceId kNoMemory9xError = 1027;
inline constexpr ResourceId kLockError = 1028;
inline constexpr ResourceId kCdQuestion = 1030; ///< also the NT writer's no-memory box
inline constexpr ResourceId kCdBuildError = 1031;
inline constexpr ResourceId kCdSuccessFormat = 1032; ///< string (1040), character
inline constexpr ResourceId kFloppyGroupLabel = 1033;
inline constexpr ResourceId kCdGroupLabel = 1034;
inline constexpr ResourceId kFloppyButtonLabel = 1035;
inline constexpr ResourceId kCdButtonLabel = 1036;
inline constexpr ResourceId kDriveEntryFormat = 1037; ///< character: the drive's letter
inline constexpr ResourceId kRecordError = 1038;
inline constexpr ResourceId kNoRecorder = 1039;
inline constexpr ResourceId kSuccessDetail = 1040;
inline constexpr ResourceId kDiscMasterError = 1041;
inline constexpr ResourceId kCdPhaseFirst = 1042; ///< 1042 + n: status in CD phase n
inline constexpr int kCdPhaseCount = 7;
inline constexpr ResourceId kNoFloppyDrive = 1049;
inline constexpr ResourceId kNoCdSupport = 1050;

inline constexpr ResourceId kCdFileNameFirst = 5000;    ///< 5000 + i: name of CD file i
inline constexpr ResourceId kCdFileContentFirst = 5100; ///< 5100 + i: contents of CD file i
inline constexpr int kCdFileMax = 100;

inline constexpr ResourceId kBootImage = 10000;

/// The boot floppy image: 80 cylinders of 2 heads x 18 sectors x 512 bytes.
inline constexpr std::uint32_t kSectorBytes = 512;
inline constexpr std::uint32_t kSectorsPerTrack = 18;
inline constexpr std::uint32_t kHeads = 2;
inline constexpr std::uint32_t kCylinderBytes = kSectorBytes * kSectorsPerTrack * kHeads;
inline constexpr std::uint32_t kCylinders = 80;
inline constexpr std::uint32_t kBootImageBytes = kCylinderBytes * kCylinders;
static_assert(kBootImageBytes == 0x168000);

/// A drive-list entry (1037) is formatted into 20 bytes: at most 19 characters.
inline constexpr std::size_t kDriveEntryMaxChars = 19;

/// The kinds of argument a format text receives. A character is passed as an integer code.
enum class ArgKind { Character, Integer, String };

/// The arguments the catalogue gives a format text, in order; empty for an identifier that is
/// not a format.
std::span<const ArgKind> FormatArguments(ResourceId id);

/// The identifiers of every text and format the catalogue lists (not the picture, the CD file
/// set or the boot image), ascending.
std::span<const ResourceId> TextIdentifiers();

} // namespace catalogue
