// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/MediumRule.h"

#include "platform/ImageMastering.h"

#include <algorithm>
#include <array>
#include <libburn/libburn.h>

namespace platform::layer {

using namespace win;

namespace {

// The profiles libburn writes, blank as it reports them.
constexpr std::array kSequentialProfiles{profile::kCdR,
                                         profile::kCdRw,
                                         profile::kDvdRSequential,
                                         profile::kDvdRwSequential,
                                         profile::kDvdRDualLayer,
                                         profile::kDvdPlusR,
                                         profile::kDvdPlusRDualLayer,
                                         profile::kBdRSequential,
                                         profile::kFile};
constexpr std::array kOverwritableProfiles{profile::kDvdRam, profile::kDvdRwOverwrite,
                                           profile::kDvdPlusRw, profile::kBdRe};

template <std::size_t N> bool Contains(const std::array<int, N>& profiles, int number) {
    return std::find(profiles.begin(), profiles.end(), number) != profiles.end();
}

std::string MediumName(const MediumFacts& facts) {
    return facts.profileName.empty() ? "the disc" : "the " + facts.profileName + " disc";
}

MediumVerdict Refused(const MediumFacts& facts, const std::string& why) {
    return {IMAPI_E_MEDIUM_INVALIDTYPE, MediumName(facts) + " " + why};
}

MediumVerdict JudgeBlank(const MediumFacts& facts) {
    if (Contains(kSequentialProfiles, facts.profile))
        return {S_OK, {}};
    if (!Contains(kOverwritableProfiles, facts.profile))
        return Refused(facts, "is not a medium libburn writes");
    if (facts.formatStatus == BURN_FORMAT_IS_UNFORMATTED || !facts.startHoldsData)
        return {S_OK, {}};
    return Refused(facts, "holds data (overwritable media are written only when new)");
}

} // namespace

bool IsOverwritableProfile(int profile) {
    return Contains(kOverwritableProfiles, profile);
}

MediumVerdict JudgeMedium(const MediumFacts& facts) {
    switch (facts.discStatus) {
    case burn::BURN_DISC_BLANK:
        return JudgeBlank(facts);
    case burn::BURN_DISC_EMPTY:
        return {IMAPI_E_MEDIUM_NOTPRESENT, "there is no disc in the drive"};
    case burn::BURN_DISC_APPENDABLE:
        return Refused(facts, "is not blank: it holds sessions and is still open");
    case burn::BURN_DISC_FULL:
        return Refused(facts, "is not blank: it is closed");
    case burn::BURN_DISC_UNREADY:
        return Refused(facts, "is not ready to be written");
    case burn::BURN_DISC_UNSUITABLE:
        return Refused(facts, "is not suitable for this drive");
    default:
        return Refused(facts, "is in a state libburn does not tell");
    }
}

} // namespace platform::layer
