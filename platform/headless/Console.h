// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where a run without a person writes: its result lines on standard output, its progress,
// message boxes and notes on standard error, in the locale's encoding. Whether standard error
// is a terminal decides how progress is shown; colours only ever go to a terminal.

#include <cstdio>
#include <string>
#include <string_view>

namespace fw::headless {

class Console {
public:
    /// Writes to out and err, which outlive it. terminal: err is a terminal of columns columns
    /// (0: ask it at each use); colours: it may show ANSI colours.
    Console(std::FILE* out, std::FILE* err, bool terminal, bool colours, int columns = 0);

    /// The process's standard output and error: a terminal when isatty says so; colours unless
    /// NO_COLOR is set or TERM is unset or "dumb".
    static Console ForProcess();

    bool Terminal() const { return terminal_; }
    bool Colours() const { return colours_; }
    /// The terminal's width in columns (80 when it cannot be had).
    int Columns() const;

    /// Writes text to standard error or output and flushes it. A character the locale's
    /// encoding lacks becomes '?'.
    void Error(std::wstring_view text) const;
    void Output(std::wstring_view text) const;

private:
    std::FILE* out_;
    std::FILE* err_;
    bool terminal_;
    bool colours_;
    int columns_;
};

/// ANSI text of the container as wide characters of the locale (see TerminalText.h).
std::wstring LocaleText(std::string_view ansi);

} // namespace fw::headless
