// SPDX-License-Identifier: GPL-2.0-or-later
// Every text of a container shown in the control the catalogue puts it in, measured in the font
// the dialog really uses: nothing is cut, for the sample container and for a German one whose
// texts run a third longer.
#include "support/gui/TextFit.h"

#include "TestDialog.h"
#include "resfile/Catalogue.h"
#include "resfile/Format.h"
#include "support/GermanLengthContainer.h"
#include "support/gui/GuiDriver.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using guitest::GuiDriver;
using namespace catalogue;

namespace {

constexpr int kWidestLetter = 'W';
constexpr std::int32_t kMostCylinders = 80;
constexpr double kLonger = 1.3;

/// A text of the catalogue as a control shows it: formatted with the widest arguments it gets.
struct Placement {
    int control;
    ResourceId text;
};

const std::vector<Placement>& Placements() {
    static const std::vector<Placement> placements = [] {
        std::vector<Placement> all = {
            {res::kIdcProgressGroup, kProgressGroupLabel},
            {res::kIdcStatusGroup, kStatusGroupLabel},
            {res::kIdcFloppyGroup, kFloppyGroupLabel},
            {res::kIdcCdGroup, kCdGroupLabel},
            {res::kIdcCreateFloppy, kFloppyButtonLabel},
            {res::kIdcCreateFloppy, kFloppyJobLabel},
            {res::kIdcExit, kExitLabel},
            {res::kIdcCreateCd, kCdButtonLabel},
            {res::kIdcFloppyList, kDriveEntryFormat},
            {res::kIdcFloppyList, kNoFloppyDrive},
            {res::kIdcRecorderList, kDriveEntryFormat},
            {res::kIdcRecorderList, kNoRecorder},
            {res::kIdcRecorderList, kNoCdSupport},
        };
        for (ResourceId status :
             {kIdleStatusFormat, kOpenedStatus, kInvalidImageStatusFormat, kNoDeviceStatus,
              kFloppyStartStatus, kExitStatus, kCylinderStatusFormat})
            all.push_back({res::kIdcStatusText, status});
        for (int phase = 0; phase < kCdPhaseCount; ++phase)
            all.push_back({res::kIdcStatusText, static_cast<ResourceId>(kCdPhaseFirst + phase)});
        return all;
    }();
    return placements;
}

std::string Shown(ResourceId id, const std::string& text) {
    using format::Arg;
    switch (id) {
    case kIdleStatusFormat:
        return format::FormatResource(id, text.c_str(), {Arg::character(kWidestLetter)});
    case kInvalidImageStatusFormat:
        return format::FormatResource(id, text.c_str(), {Arg::string("install.dat")});
    case kCylinderStatusFormat:
        return format::FormatResource(id, text.c_str(),
                                      {Arg::integer(kMostCylinders), Arg::integer(kMostCylinders)});
    case kDriveEntryFormat:
        return format::FormatDriveEntry(text.c_str(), kWidestLetter);
    default:
        return text;
    }
}

test::Texts SampleTexts() {
    test::Texts texts;
    const char* sample = std::getenv("BOOTMEDIA_SAMPLE");
    if (sample == nullptr || !std::filesystem::exists(sample))
        return texts;
    for (const auto& [id, bytes] : test::ContainerEntries(sample)) {
        if (std::ranges::find(TextIdentifiers(), id) != TextIdentifiers().end())
            texts.emplace(id, std::string(bytes.begin(), bytes.end()));
    }
    return texts;
}

// Shows every placed text in its control, one after the other, and collects what is cut.
std::vector<std::string> CutTexts(const test::Texts& texts) {
    std::vector<std::string> cut;
    TestDialog dialog;
    GuiDriver::RunModal(dialog, [&](GuiDriver& gui) {
        ASSERT_TRUE(gui.WaitUntilShown());
        fw::CallOnUiThread([&] {
            for (const Placement& placement : Placements()) {
                const auto text = texts.find(placement.text);
                if (text == texts.end())
                    continue;
                const std::string shown = Shown(placement.text, text->second);
                fw::WindowPeer* peer = dialog.FindControlPeer(placement.control);
                ASSERT_NE(peer, nullptr) << placement.control;
                if (auto* list = dynamic_cast<fw::ComboBoxPeer*>(peer))
                    list->addItem(shown);
                else
                    peer->setText(shown);
                const std::string why = guitest::CutText(*gui.Widget(placement.control));
                if (!why.empty())
                    cut.push_back(std::to_string(placement.text) + ": " + why);
            }
        });
    });
    return cut;
}

} // namespace

// checks that every text of the sample container fits its control in the dialog's font.
TEST(TextFit, SampleContainerTextsAreShownWhole) {
    const test::Texts texts = SampleTexts();
    if (texts.empty())
        GTEST_SKIP() << "no sample container built";
    EXPECT_EQ(CutTexts(texts), std::vector<std::string>{});
}

// checks that German texts, a third longer than the sample's, fit their controls too.
TEST(TextFit, GermanLengthTextsAreShownWhole) {
    EXPECT_EQ(CutTexts(test::GermanLengthTexts()), std::vector<std::string>{});
}

// checks that the German container really is the longer one: every text the dialog shows is
// longer than the sample's, and all of them together by at least 30%.
TEST(TextFit, GermanTextsRunLongerThanTheSample) {
    const test::Texts sample = SampleTexts();
    if (sample.empty())
        GTEST_SKIP() << "no sample container built";
    const test::Texts& german = test::GermanLengthTexts();
    std::size_t sampleTotal = 0;
    std::size_t germanTotal = 0;
    for (const Placement& placement : Placements()) {
        SCOPED_TRACE(placement.text);
        ASSERT_TRUE(sample.contains(placement.text));
        ASSERT_TRUE(german.contains(placement.text));
        const std::size_t english = Shown(placement.text, sample.at(placement.text)).size();
        const std::size_t longer = Shown(placement.text, german.at(placement.text)).size();
        EXPECT_GT(longer, english);
        sampleTotal += english;
        germanTotal += longer;
    }
    EXPECT_GE(static_cast<double>(germanTotal), kLonger * static_cast<double>(sampleTotal));
}
