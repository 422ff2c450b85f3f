// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Formatting of container format texts. The container is untrusted: a format is checked against
// the arguments the catalogue gives its identifier before anything is formatted, and a format
// that does not fit them is shown as it stands, unformatted. No conversion ever reads an
// argument that was not passed or writes memory.

#include "resfile/Catalogue.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <variant>

namespace format {

/// One argument as the catalogue describes it.
struct Arg {
    catalogue::ArgKind kind;
    std::variant<std::int32_t, const char*> value;

    static Arg character(int code) { return {catalogue::ArgKind::Character, std::int32_t{code}}; }
    static Arg integer(std::int32_t value) { return {catalogue::ArgKind::Integer, value}; }
    static Arg string(const char* text) { return {catalogue::ArgKind::String, text}; }
};

/// Why a format does not fit its arguments; Fits when it does.
enum class Fit {
    Fits,
    UnknownConversion, ///< %n, %p, floating point, positional %1$, or a conversion not known
    StarWidth,         ///< a * width or precision would read an argument
    TooManyConversions,
    KindMismatch, ///< e.g. %s where a character is passed, %d where a string is passed
    BadLength,    ///< a length modifier other than h, hh, l, or one on %c or %s
    Unterminated, ///< a % at the end of the text
    TooWide,      ///< a width or precision beyond 4095
};

/// Checks a format text against the kinds of its arguments.
Fit CheckFormat(const char* format, std::span<const catalogue::ArgKind> kinds);

/// Formats with the arguments when the format fits their kinds; otherwise returns the format
/// text itself. A null format counts as "". A null string argument formats as "". Conversions
/// give what printf gives, with l taken as 32 bits everywhere; a %c of code 0 ends the text.
std::string FormatText(const char* format, std::initializer_list<Arg> args);

/// FormatText for arguments assembled at run time (e.g. from a catalogue signature).
std::string FormatText(const char* format, std::span<const Arg> args);

/// FormatText for a catalogue format: the arguments must be those the catalogue gives id (a
/// programming error otherwise, checked in debug builds).
std::string FormatResource(ResourceId id, const char* format, std::initializer_list<Arg> args);

/// A drive-list entry (1037): formatted and cut to at most 19 characters.
std::string FormatDriveEntry(const char* format, int letter);

} // namespace format
