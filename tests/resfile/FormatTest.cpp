// SPDX-License-Identifier: GPL-2.0-or-later
#include "resfile/Format.h"

#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace {

using catalogue::ArgKind;
using format::Arg;
using format::Fit;

std::vector<ArgKind> KindsOf(const std::vector<Arg>& args) {
    std::vector<ArgKind> kinds;
    for (const Arg& arg : args) {
        kinds.push_back(arg.kind);
    }
    return kinds;
}

struct HostileCase {
    const char* format;
    std::vector<Arg> args;
    Fit fit;
};

// checks that a format that does not fit its arguments is refused for the right reason and shown
// as it stands, with nothing read or written through a conversion
TEST(Format, HostileFormatsShowUnformatted) {
    const Arg letter = Arg::character('A');
    const Arg number = Arg::integer(7);
    const Arg text = Arg::string("install.dat");
    const HostileCase cases[] = {
        {"written %n", {number}, Fit::UnknownConversion},
        {"drive %s", {letter}, Fit::KindMismatch},
        {"image %d", {text}, Fit::KindMismatch},
        {"%c", {text}, Fit::KindMismatch},
        {"%*d", {number, number}, Fit::StarWidth},
        {"%.*s", {number, text}, Fit::StarWidth},
        {"%c%c", {letter}, Fit::TooManyConversions},
        {"%d", {}, Fit::TooManyConversions},
        {"%1$s", {text}, Fit::UnknownConversion},
        {"%ls", {text}, Fit::BadLength},
        {"%lc", {letter}, Fit::BadLength},
        {"%lld", {number}, Fit::BadLength},
        {"%zd", {number}, Fit::BadLength},
        {"%Lf", {number}, Fit::BadLength},
        {"%f", {number}, Fit::UnknownConversion},
        {"%p", {number}, Fit::UnknownConversion},
        {"%I64d", {number}, Fit::UnknownConversion},
        {"%-%", {}, Fit::UnknownConversion},
        {"100%", {}, Fit::Unterminated},
        {"%-5l", {number}, Fit::Unterminated},
        {"%100000d", {number}, Fit::TooWide},
        {"%5000d", {number}, Fit::TooWide},
        {"%.4096s", {text}, Fit::TooWide},
        {"%99999999999999999999999d", {number}, Fit::TooWide},
        {"%c fits but %n does not", {letter, number}, Fit::UnknownConversion},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(format::CheckFormat(c.format, KindsOf(c.args)), c.fit);
        EXPECT_EQ(format::FormatText(c.format, c.args), c.format);
    }
}

struct FittingCase {
    const char* format;
    std::vector<Arg> args;
    std::string expected;
};

// checks that a fitting format gives what printf gives, with l taken as 32 bits on every platform
TEST(Format, FittingFormatsMatchPrintf) {
    const FittingCase cases[] = {
        {"Drive %c:", {Arg::character('A')}, "Drive A:"},
        {"[%-3d] %05d %x",
         {Arg::integer(5), Arg::integer(-42), Arg::integer(255)},
         "[5  ] -0042 ff"},
        {"%d %lx",
         {Arg::integer(std::numeric_limits<std::int32_t>::min()), Arg::integer(-1)},
         "-2147483648 ffffffff"},
        {"100%% of %d", {Arg::integer(80)}, "100% of 80"},
        {"[%s]", {Arg::string(nullptr)}, "[]"},
        {"cylinder %d", {Arg::integer(3), Arg::integer(80)}, "cylinder 3"},
        {"ab%ccd", {Arg::character(0)}, "ab"},
        {"%4095d", {Arg::integer(1)}, std::string(4094, ' ') + "1"},
        {"plain text", {}, "plain text"},
    };
    for (const FittingCase& c : cases) {
        SCOPED_TRACE(c.format);
        EXPECT_EQ(format::CheckFormat(c.format, KindsOf(c.args)), Fit::Fits);
        EXPECT_EQ(format::FormatText(c.format, c.args), c.expected);
    }
}

// Every combination of flags, width, precision and length on every conversion, against the C
// library's own formatting of the same specifier (l is left out: it is 64 bits wide here).
template <typename Value> std::string CLibraryFormat(const std::string& specifier, Value value) {
    const int size = std::snprintf(nullptr, 0, specifier.c_str(), value);
    std::vector<char> out(static_cast<std::size_t>(size) + 1);
    std::snprintf(out.data(), out.size(), specifier.c_str(), value);
    return out.data();
}

// checks that integer, character and string conversions agree with printf in every flag combination
TEST(Format, ConversionsAgreeWithCLibrary) {
    const std::string flagMarks = "-+ #0";
    const char* widths[] = {"", "1", "7"};
    const char* precisions[] = {"", ".0", ".3"};
    const char* lengths[] = {"", "h", "hh"};
    using Limits = std::numeric_limits<std::int32_t>;
    const std::int32_t values[] = {0, 1, -1, 65, 255, 70000, Limits::min(), Limits::max()};
    for (unsigned flagSet = 0; flagSet < (1u << flagMarks.size()); ++flagSet) {
        std::string flags;
        for (std::size_t i = 0; i < flagMarks.size(); ++i) {
            if (flagSet & (1u << i)) {
                flags += flagMarks[i];
            }
        }
        for (const char* width : widths) {
            for (const char* precision : precisions) {
                for (const char* length : lengths) {
                    for (char conversion : std::string("diuxXo")) {
                        const std::string specifier =
                            "%" + flags + width + precision + length + conversion;
                        for (std::int32_t value : values) {
                            SCOPED_TRACE(specifier + " of " + std::to_string(value));
                            ASSERT_EQ(format::FormatText(specifier.c_str(), {Arg::integer(value)}),
                                      CLibraryFormat(specifier, value));
                        }
                    }
                }
                const std::string specifier = "%" + flags + width + precision + "s";
                SCOPED_TRACE(specifier);
                ASSERT_EQ(format::FormatText(specifier.c_str(), {Arg::string("abcd")}),
                          CLibraryFormat(specifier, "abcd"));
            }
            const std::string specifier = "%" + flags + width + "c";
            SCOPED_TRACE(specifier);
            ASSERT_EQ(format::FormatText(specifier.c_str(), {Arg::character('A')}),
                      CLibraryFormat(specifier, 'A'));
        }
    }
}

// checks that a missing format text formats to nothing
TEST(Format, NullFormatIsEmpty) {
    EXPECT_EQ(format::CheckFormat(nullptr, {}), Fit::Fits);
    EXPECT_EQ(format::FormatText(nullptr, {Arg::character('A')}), "");
}

// checks that a drive-list entry is cut to 19 characters, whether formatted or shown raw
TEST(Format, DriveEntryCutTo19) {
    EXPECT_EQ(format::FormatDriveEntry("%c:", 'B'), "B:");
    EXPECT_EQ(format::FormatDriveEntry("3.5-inch floppy %c: (1.44 MB)", 'A'),
              "3.5-inch floppy A: ");
    EXPECT_EQ(format::FormatDriveEntry("%4095c", 'A'), std::string(19, ' '));
    EXPECT_EQ(format::FormatDriveEntry("%s is not a letter at all", 'A'), "%s is not a letter ");
}

// checks that a caller passing other arguments than the catalogue gives an identifier is caught
TEST(FormatDeathTest, ResourceArgumentsFollowCatalogue) {
    EXPECT_EQ(format::FormatResource(catalogue::kCylinderStatusFormat, "%d/%d",
                                     {Arg::integer(12), Arg::integer(12)}),
              "12/12");
    EXPECT_DEBUG_DEATH(format::FormatResource(catalogue::kCylinderStatusFormat, "%d",
                                              {Arg::integer(1), Arg::string("x")}),
                       "");
    EXPECT_DEBUG_DEATH(format::FormatResource(catalogue::kDialogTitle, "%c", {Arg::character('A')}),
                       "");
}

} // namespace
