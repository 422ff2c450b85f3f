// SPDX-License-Identifier: GPL-2.0-or-later
// The program's command line: the dialog's nocd word and ignored switches, the GNU options with
// their shortened names and values, and each usage error a script may make.
#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Request = ProgramCommandLine::Request;

struct Case {
    const char* name;
    std::vector<const char*> parameters;
    Request request;
    /// For Request::Wrong: a part of the problem; otherwise a summary of what was parsed.
    const char* expected;
};

std::string Choice(const std::optional<DriveChoice>& choice) {
    if (!choice)
        return "-";
    return choice->letter != 0 ? std::string{choice->letter, ':'} : "file " + choice->file;
}

std::string Summary(const ProgramCommandLine& line) {
    return std::string(line.noCd ? "nocd " : "") + (line.list ? "list " : "") +
           (line.yes ? "yes " : "") + "floppy " + Choice(line.floppy) + " cd " + Choice(line.cd);
}

// checks each way a command line is read: what it asks for, and why a wrong one is wrong
TEST(ProgramCommandLine, ReadsRequestsAndRefusesMistakes) {
    const Case cases[] = {
        {"nothing", {}, Request::Dialog, "floppy - cd -"},
        {"nocd", {"nocd"}, Request::Dialog, "nocd floppy - cd -"},
        {"longer word", {"nocdrom"}, Request::Dialog, "floppy - cd -"},
        {"second word", {"x", "nocd"}, Request::Dialog, "floppy - cd -"},
        {"switches ignored", {"-x", "/y", "nocd"}, Request::Dialog, "nocd floppy - cd -"},
        {"null skipped", {nullptr, "nocd"}, Request::Dialog, "nocd floppy - cd -"},
        {"empty word skipped", {"", "nocd"}, Request::Dialog, "nocd floppy - cd -"},
        {"help wins", {"--help", "--bogus"}, Request::Help, ""},
        {"version shortened", {"--vers"}, Request::Version, ""},
        {"drive letter", {"--floppy", "a:"}, Request::Batch, "floppy A: cd -"},
        {"image file", {"--flo=x.img", "--yes"}, Request::Batch, "yes floppy file x.img cd -"},
        {"not a letter", {"--floppy=1:"}, Request::Batch, "floppy file 1: cd -"},
        {"recorder", {"--c", "e:", "--yes"}, Request::Batch, "yes floppy - cd E:"},
        {"both", {"--cd=x.iso", "--floppy=B:"}, Request::Batch, "floppy B: cd file x.iso"},
        {"list", {"--list"}, Request::Batch, "list floppy - cd -"},
        {"list nocd", {"--list", "--", "nocd"}, Request::Batch, "nocd list floppy - cd -"},
        {"after --", {"--", "--list"}, Request::Dialog, "floppy - cd -"},
        {"unknown", {"--bogus", "--help"}, Request::Wrong, "unrecognized option '--bogus'"},
        {"no value", {"--floppy"}, Request::Wrong, "option '--floppy' requires an argument"},
        {"empty value", {"--cd="}, Request::Wrong, "option '--cd' needs a drive or a file"},
        {"value refused", {"--list=1"}, Request::Wrong, "option '--list' doesn't allow"},
        {"twice", {"--floppy", "a:", "--floppy=b:"}, Request::Wrong, "'--floppy' given twice"},
        {"ambiguous", {"--=x"}, Request::Wrong, "option is ambiguous"},
        {"yes alone", {"--yes"}, Request::Wrong, "--yes answers the questions"},
        {"batch word", {"--list", "extra"}, Request::Wrong, "unexpected argument 'extra'"},
        {"batch switch", {"--list", "-x"}, Request::Wrong, "unexpected argument '-x'"},
        {"nocd and cd", {"--cd", "E:", "nocd"}, Request::Wrong, "nocd switches CD recording off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ProgramCommandLine line = ParseProgramCommandLine(c.parameters);
        EXPECT_EQ(line.request, c.request);
        if (c.request == Request::Wrong) {
            EXPECT_NE(line.problem.find(c.expected), std::string::npos) << line.problem;
        } else if (c.request != Request::Help && c.request != Request::Version) {
            EXPECT_EQ(Summary(line), c.expected);
        }
    }
}

} // namespace
