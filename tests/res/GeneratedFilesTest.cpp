// SPDX-License-Identifier: GPL-2.0-or-later
#include "res/IcoFile.h"
#include "res/MainDialogTemplate.h"
#include "res/RcScript.h"
#include "res/Resources.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {
std::string ReadKept(const char* name) {
    std::ifstream file(std::string(RES_SOURCE_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}
} // namespace

// checks that the .rc and .ico kept for the Windows build are what the template table and the
// icon drawing give now (run the res_update target after changing either).
TEST(GeneratedFiles, KeptCopiesMatchTheirSources) {
    EXPECT_EQ(ReadKept(res::kRcFileName),
              res::WriteRcScript(res::kMainDialogTemplate, res::kIdiMainIcon, res::kIconFileName));
    const std::vector<std::uint8_t> ico = res::EncodeIcoFile(res::DrawMainIconGroup());
    EXPECT_EQ(ReadKept(res::kIconFileName), std::string(ico.begin(), ico.end()));
}
