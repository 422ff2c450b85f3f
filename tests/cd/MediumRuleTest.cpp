// SPDX-License-Identifier: GPL-2.0-or-later
// Which media a recording writes: blank means blank, also for the overwritable media libburn
// calls blank while they hold data.
#include "platform/linux/cd/MediumRule.h"

#include "platform/ImageMastering.h"

#include <gtest/gtest.h>
#include <libburn/libburn.h>

using namespace win;
using platform::layer::JudgeMedium;
using platform::layer::MediumFacts;

namespace {

using namespace platform::layer::profile;
constexpr int kUnformatted = BURN_FORMAT_IS_UNFORMATTED;
constexpr int kFormatted = BURN_FORMAT_IS_FORMATTED;
constexpr int kUnknownFormat = BURN_FORMAT_IS_UNKNOWN;

} // namespace

// checks that write-once media are written only when blank, overwritable media only when new
// (unformatted, or formatted with nothing written at their start), and that no disc, a drive
// that is not ready and an unsuitable disc are refused with their codes and a reason.
TEST(MediumRule, BlankMeansBlank) {
    struct Case {
        const char* what;
        burn::burn_disc_status status;
        int profile;
        int format;
        bool startHoldsData;
        HRESULT result;
    };
    const Case cases[] = {
        {"blank CD-R", burn::BURN_DISC_BLANK, kCdR, 0, false, S_OK},
        {"blank DVD+R", burn::BURN_DISC_BLANK, kDvdPlusR, 0, false, S_OK},
        {"blank BD-R", burn::BURN_DISC_BLANK, kBdRSequential, kUnformatted, false, S_OK},
        {"blanked CD-RW", burn::BURN_DISC_BLANK, kCdRw, 0, false, S_OK},
        {"a file recorder's new file", burn::BURN_DISC_BLANK, kFile, 0, false, S_OK},
        {"appendable CD-R", burn::BURN_DISC_APPENDABLE, kCdR, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"closed CD-R", burn::BURN_DISC_FULL, kCdR, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"used CD-RW", burn::BURN_DISC_FULL, kCdRw, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"new DVD+RW", burn::BURN_DISC_BLANK, kDvdPlusRw, kUnformatted, true, S_OK},
        {"formatted DVD+RW, zeros", burn::BURN_DISC_BLANK, kDvdPlusRw, kFormatted, false, S_OK},
        {"DVD+RW with data", burn::BURN_DISC_BLANK, kDvdPlusRw, kFormatted, true,
         IMAPI_E_MEDIUM_INVALIDTYPE},
        {"DVD-RAM with data", burn::BURN_DISC_BLANK, kDvdRam, kFormatted, true,
         IMAPI_E_MEDIUM_INVALIDTYPE},
        {"formatted DVD-RW with data", burn::BURN_DISC_BLANK, kDvdRwOverwrite, kUnknownFormat, true,
         IMAPI_E_MEDIUM_INVALIDTYPE},
        {"new BD-RE", burn::BURN_DISC_BLANK, kBdRe, kUnformatted, true, S_OK},
        {"BD-RE with data", burn::BURN_DISC_BLANK, kBdRe, kFormatted, true,
         IMAPI_E_MEDIUM_INVALIDTYPE},
        {"pressed CD-ROM", burn::BURN_DISC_FULL, kCdRom, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"DVD-ROM said blank", burn::BURN_DISC_BLANK, kDvdRom, 0, false,
         IMAPI_E_MEDIUM_INVALIDTYPE},
        {"no disc", burn::BURN_DISC_EMPTY, 0, 0, false, IMAPI_E_MEDIUM_NOTPRESENT},
        {"not ready", burn::BURN_DISC_UNREADY, kCdR, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"unsuitable", burn::BURN_DISC_UNSUITABLE, kCdR, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
        {"not grabbed", burn::BURN_DISC_UNGRABBED, kCdR, 0, false, IMAPI_E_MEDIUM_INVALIDTYPE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const MediumFacts facts{.discStatus = c.status,
                                .profile = c.profile,
                                .profileName = "",
                                .formatStatus = c.format,
                                .startHoldsData = c.startHoldsData};
        const platform::layer::MediumVerdict verdict = JudgeMedium(facts);
        EXPECT_EQ(verdict.result, c.result);
        EXPECT_EQ(verdict.reason.empty(), SUCCEEDED(c.result)) << verdict.reason;
    }
}
