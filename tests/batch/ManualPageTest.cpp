// SPDX-License-Identifier: GPL-2.0-or-later
// The manual page keeps in step with the program and README: it formats without a warning, names
// the program's version, and tells every option --help lists and every variable README lists.
#include "Version.h"
#include "support/ContainerBuilder.h"
#include "support/Programs.h"

#include <gtest/gtest.h>
#include <regex>
#include <set>

namespace {

const std::string kPage = std::string(SOURCE_DIR) + "/man/bootmedia.1";
const std::string kToolPage = std::string(SOURCE_DIR) + "/man/resfile.1";
const std::string kReadme = std::string(SOURCE_DIR) + "/README.md";

std::string FileText(const std::string& path) {
    const test::Bytes bytes = test::ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

std::set<std::string> Matches(const std::string& text, const std::regex& pattern) {
    std::set<std::string> found;
    for (auto match = std::sregex_iterator(text.begin(), text.end(), pattern);
         match != std::sregex_iterator(); ++match)
        found.insert((*match)[1].str());
    return found;
}

// The page's text of a section, from its .SH line to the next.
std::string Section(const std::string& page, const std::string& name) {
    const std::size_t start = page.find(".SH " + name);
    if (start == std::string::npos)
        return {};
    return page.substr(start, page.find(".SH ", start + 1) - start);
}

// checks that groff formats each page without a warning
TEST(ManualPage, FormatsWithoutWarnings) {
    if (!test::HaveProgram("groff"))
        GTEST_SKIP() << "groff is not installed";
    for (const std::string& page : {kPage, kToolPage}) {
        SCOPED_TRACE(page);
        const test::ProgramRun run = test::RunProgram({"groff", "-man", "-ww", "-z", page});
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.output, "");
    }
}

// checks that the page has every section a manual page of a program needs, and each page the
// version
TEST(ManualPage, HasItsSectionsAndVersion) {
    const std::string page = FileText(kPage);
    for (const char* name : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "ENVIRONMENT", "FILES",
                             "EXIT STATUS", "EXAMPLES"}) {
        SCOPED_TRACE(name);
        EXPECT_NE(Section(page, name), "");
    }
    const std::string named = "\"bootmedia " + std::string(version::kVersion) + "\"";
    EXPECT_NE(page.find(named), std::string::npos);
    EXPECT_NE(FileText(kToolPage).find(named), std::string::npos);
    EXPECT_NE(Section(page, "FILES").find("bootmedia/bootmedia.log"), std::string::npos);
}

// checks that every option of --help is in OPTIONS and every variable of README in ENVIRONMENT
TEST(ManualPage, TellsEveryOptionAndVariable) {
    const std::string page = FileText(kPage);
    const test::ProgramRun help = test::RunProgram({BOOTMEDIA_PROGRAM, "--help"});
    ASSERT_EQ(help.status, 0);
    const std::set<std::string> options = Matches(help.output, std::regex("--([a-z]+)"));
    EXPECT_GE(options.size(), 6u);
    const std::string optionSection = Section(page, "OPTIONS");
    for (const std::string& option : options) {
        SCOPED_TRACE(option);
        EXPECT_NE(optionSection.find("\\-\\-" + option), std::string::npos);
    }
    const std::set<std::string> variables =
        Matches(FileText(kReadme), std::regex("\\| `([A-Z_]+)`"));
    EXPECT_GE(variables.size(), 8u);
    const std::string environment = Section(page, "ENVIRONMENT");
    for (const std::string& variable : variables) {
        SCOPED_TRACE(variable);
        EXPECT_NE(environment.find(variable), std::string::npos);
    }
}

} // namespace
