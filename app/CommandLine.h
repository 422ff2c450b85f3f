// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's command line in the GNU style: --help, --version, and the batch options --list,
// --floppy, --cd and --yes; beside them the word nocd, which switches CD recording off, and the
// framework's switches (a parameter beginning with '/' or '-'), which the dialog ignores.

#include <optional>
#include <span>
#include <string>

/// The drive a batch option names: a drive letter ("A:", "e:"), or a file that stands in for one.
struct DriveChoice {
    /// The upper-case letter, or 0 when file is named instead.
    char letter = 0;
    std::string file;
};

struct ProgramCommandLine {
    enum class Request {
        Dialog,  ///< no batch option: the dialog for a person
        Batch,   ///< a batch option: the dialog worked without a person
        Help,    ///< --help
        Version, ///< --version
        Wrong,   ///< a usage error, told by problem
    };
    Request request = Request::Dialog;
    /// The first parameter that is neither an option nor a switch is "nocd".
    bool noCd = false;
    bool list = false;
    bool yes = false;
    std::optional<DriveChoice> floppy;
    std::optional<DriveChoice> cd;
    /// What is wrong, for Request::Wrong.
    std::string problem;
};

/// Parses parameters (without the program name; null entries are skipped). Long options may be
/// shortened to any unambiguous beginning; an option's value follows it as "--cd=E:" or as the
/// next parameter; "--" ends the options. --help and --version answer at once, whatever follows.
/// A batch run takes no other parameter than "nocd".
ProgramCommandLine ParseProgramCommandLine(std::span<const char* const> parameters);
