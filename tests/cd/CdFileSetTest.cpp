// SPDX-License-Identifier: GPL-2.0-or-later
// The CD file set staged from the container, and the widening of its names.
#include "cd/CdFileSet.h"

#include "CdJobBench.h"
#include "cd/WidenAnsi.h"
#include "platform/ComApartment.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>
#include <string>

using namespace win;
using cdjobtest::CdFile;

namespace {

std::vector<CdFile> Numbered(int count) {
    std::vector<CdFile> files;
    for (int i = 0; i < count; ++i)
        files.push_back({"F" + std::to_string(i), cdjobtest::Pattern(std::size_t(i), 3)});
    return files;
}

} // namespace

// checks that the set holds the files from name 5000 up to the first missing or empty name, at
// most 100, each with exactly the bytes of its contents entry.
TEST(CdFileSet, TakesNamesUpToTheFirstEmpty) {
    std::vector<CdFile> gap = Numbered(6);
    gap[3].name = "";
    struct Case {
        const char* what;
        std::vector<CdFile> files;
        std::size_t kept; // the first ones of files
    };
    const std::vector<Case> cases = {
        {"no name 5000", {}, 0},
        {"empty name at 5003", gap, 3},
        {"100 names", Numbered(100), 100},
        {"contents of 0, 5 and 8 bytes",
         {{"ZERO", test::Bytes{}},
          {"FIVE", test::TextBytes("abcde")},
          {"EIGHT", test::TextBytes("12345678")}},
         3},
    };
    const platform::ComApartment apartment;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        cdjobtest::JobBench bench(c.files);
        const platform::ComPtr<IStorage> storage = BuildFileSet();
        EXPECT_EQ(fake::StreamsOf(storage.get()),
                  cdjobtest::StreamsFor({c.files.begin(), c.files.begin() + long(c.kept)}));
    }
}

// checks that names go through the ANSI code page (Windows-1252 unless another is named), its
// five undefined bytes becoming the controls Windows gives them, and that a name that does not
// convert one-to-one (a byte the code page lacks) gives nothing; and that the set's streams carry
// the converted name.
TEST(WidenAnsi, ConvertsThroughTheCodePageOneToOne) {
    struct Case {
        const char* codePage;
        const char* text;
        std::u16string expected;
    };
    for (const Case& c :
         {Case{"1252", "README.TXT", u"README.TXT"},
          Case{"1252", "caf\xE9\xFF", u"caf\u00E9\u00FF"},
          Case{"1252", "\x80uro\x9F", u"\u20ACuro\u0178"},
          Case{"1252", "a\x81\x8D\x8F\x90\x9Dz", u"a\u0081\u008D\u008F\u0090\u009Dz"},
          Case{"1252", "", u""}, Case{"1251", "\xC0\xFF", u"\u0410\u044F"},
          Case{"1251", "a\x98z", u""}, Case{"UTF-8", "\xC3\xA9", u"\u00E9"},
          Case{"UTF-8", "\xC3", u""}}) {
        SCOPED_TRACE(c.text);
        const test::ScopedEnv codePage("BOOTMEDIA_CODEPAGE", c.codePage);
        const WideText wide = WidenAnsi(c.text);
        EXPECT_EQ(std::u16string(wide.begin(), wide.end()), c.expected);
    }
    const test::ScopedEnv codePage("BOOTMEDIA_CODEPAGE", "1252");
    const platform::ComApartment apartment;
    cdjobtest::JobBench bench({{"caf\xE9.txt", test::TextBytes("x")}});
    const platform::ComPtr<IStorage> storage = BuildFileSet();
    const auto streams = fake::StreamsOf(storage.get());
    ASSERT_EQ(streams.size(), 1u);
    EXPECT_EQ(streams.begin()->first, u"caf\u00E9.txt");
}
