// SPDX-License-Identifier: GPL-2.0-or-later
// The conversions are parsed and formatted here rather than handed to the C library: a format
// from the container then can never reach a conversion the library would act on (%n, %s on an
// integer, a * width), and the output is the same on every C library (an l is 32 bits, hh is
// known everywhere).
#include "resfile/Format.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <string_view>
#include <vector>

namespace format {
namespace {

using catalogue::ArgKind;

constexpr char kMark = '%';
constexpr char kPrecisionMark = '.';
constexpr char kStar = '*';
constexpr int kMaxWidth = 4095;
constexpr int kNoPrecision = -1;
constexpr unsigned kDecimalBase = 10;
constexpr unsigned kHexBase = 16;
constexpr unsigned kOctalBase = 8;
constexpr std::string_view kLowerDigits = "0123456789abcdef";
constexpr std::string_view kUpperDigits = "0123456789ABCDEF";
constexpr std::string_view kIntegerConversions = "diuxXo";
constexpr std::string_view kForbiddenLengths = "Ljztq";

enum class Length { None, Short, Char, Long };

struct Specifier {
    bool leftAlign = false;
    bool forceSign = false;
    bool spaceSign = false;
    bool alternate = false;
    bool zeroPad = false;
    int width = 0;
    int precision = kNoPrecision;
    Length length = Length::None;
    char conversion = kMark; ///< kMark for the literal %%
};

std::string_view TextOf(const char* text) {
    return text ? text : "";
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsIntegerConversion(char c) {
    return kIntegerConversions.find(c) != std::string_view::npos;
}

// Reads a decimal width or precision, saturating just above the limit so that no digit string
// can overflow.
Fit ReadNumber(const char*& cursor, int& number) {
    number = 0;
    while (IsDigit(*cursor)) {
        number = std::min(number * static_cast<int>(kDecimalBase) + (*cursor - '0'), kMaxWidth + 1);
        ++cursor;
    }
    if (*cursor == kStar) {
        return Fit::StarWidth;
    }
    return number > kMaxWidth ? Fit::TooWide : Fit::Fits;
}

void ReadFlags(const char*& cursor, Specifier& specifier) {
    for (;; ++cursor) {
        switch (*cursor) {
        case '-':
            specifier.leftAlign = true;
            break;
        case '+':
            specifier.forceSign = true;
            break;
        case ' ':
            specifier.spaceSign = true;
            break;
        case '#':
            specifier.alternate = true;
            break;
        case '0':
            specifier.zeroPad = true;
            break;
        default:
            return;
        }
    }
}

Fit ReadLength(const char*& cursor, Specifier& specifier) {
    if (*cursor == 'h') {
        ++cursor;
        specifier.length = Length::Short;
        if (*cursor == 'h') {
            ++cursor;
            specifier.length = Length::Char;
        }
    } else if (*cursor == 'l') {
        ++cursor;
        specifier.length = Length::Long;
        if (*cursor == 'l') {
            return Fit::BadLength;
        }
    }
    if (*cursor != '\0' && kForbiddenLengths.find(*cursor) != std::string_view::npos) {
        return Fit::BadLength;
    }
    return Fit::Fits;
}

// Parses one conversion; cursor points behind its %, and on success behind the conversion.
Fit ReadSpec(const char*& cursor, Specifier& specifier) {
    specifier = Specifier{};
    if (*cursor == kMark) {
        ++cursor;
        return Fit::Fits;
    }
    ReadFlags(cursor, specifier);
    if (Fit fit = ReadNumber(cursor, specifier.width); fit != Fit::Fits) {
        return fit;
    }
    if (*cursor == kPrecisionMark) {
        ++cursor;
        if (Fit fit = ReadNumber(cursor, specifier.precision); fit != Fit::Fits) {
            return fit;
        }
    }
    if (Fit fit = ReadLength(cursor, specifier); fit != Fit::Fits) {
        return fit;
    }
    const char conversion = *cursor;
    if (conversion == '\0') {
        return Fit::Unterminated;
    }
    if (!IsIntegerConversion(conversion) && conversion != 'c' && conversion != 's') {
        return Fit::UnknownConversion;
    }
    if (specifier.length != Length::None && !IsIntegerConversion(conversion)) {
        return Fit::BadLength;
    }
    specifier.conversion = conversion;
    ++cursor;
    return Fit::Fits;
}

bool Accepts(const Specifier& specifier, ArgKind kind) {
    return specifier.conversion == 's' ? kind == ArgKind::String : kind != ArgKind::String;
}

// Walks the format, handing each literal run and each conversion (with its argument index) to
// the visitor; stops at the first conversion that does not fit the kinds.
template <typename Visitor>
Fit Walk(const char* format, std::span<const ArgKind> kinds, Visitor&& visit) {
    std::string_view rest = TextOf(format);
    std::size_t argument = 0;
    while (!rest.empty()) {
        const std::size_t mark = rest.find(kMark);
        visit.Literal(rest.substr(0, mark));
        if (mark == std::string_view::npos) {
            break;
        }
        const char* cursor = rest.data() + mark + 1;
        Specifier specifier;
        if (Fit fit = ReadSpec(cursor, specifier); fit != Fit::Fits) {
            return fit;
        }
        if (specifier.conversion == kMark) {
            visit.Literal(std::string_view(&kMark, 1));
        } else if (argument >= kinds.size()) {
            return Fit::TooManyConversions;
        } else if (!Accepts(specifier, kinds[argument])) {
            return Fit::KindMismatch;
        } else {
            visit.Conversion(specifier, argument++);
        }
        rest.remove_prefix(static_cast<std::size_t>(cursor - rest.data()));
    }
    return Fit::Fits;
}

struct NoOutput {
    void Literal(std::string_view) {}
    void Conversion(const Specifier&, std::size_t) {}
};

void AppendPadded(std::string& out, std::string_view body, const Specifier& specifier) {
    const std::size_t pad = static_cast<std::size_t>(specifier.width) > body.size()
                                ? static_cast<std::size_t>(specifier.width) - body.size()
                                : 0;
    if (!specifier.leftAlign) {
        out.append(pad, ' ');
    }
    out.append(body);
    if (specifier.leftAlign) {
        out.append(pad, ' ');
    }
}

// The value as the conversion sees it after its length modifier: its sign and magnitude. An l
// changes nothing: a long is 32 bits on the platform the texts are written for.
void Narrow(const Specifier& specifier, std::int32_t value, bool& negative,
            std::uint32_t& magnitude) {
    const bool isSigned = specifier.conversion == 'd' || specifier.conversion == 'i';
    std::int32_t narrowed = value;
    if (specifier.length == Length::Short) {
        narrowed = isSigned ? std::int32_t{static_cast<std::int16_t>(value)}
                            : std::int32_t{static_cast<std::uint16_t>(value)};
    } else if (specifier.length == Length::Char) {
        narrowed = isSigned ? std::int32_t{static_cast<std::int8_t>(value)}
                            : std::int32_t{static_cast<std::uint8_t>(value)};
    }
    negative = isSigned && narrowed < 0;
    magnitude = static_cast<std::uint32_t>(narrowed);
    if (negative) {
        magnitude = 0u - magnitude;
    }
}

void AppendInteger(std::string& out, const Specifier& specifier, std::int32_t value) {
    bool negative = false;
    std::uint32_t magnitude = 0;
    Narrow(specifier, value, negative, magnitude);

    const unsigned base = specifier.conversion == 'o' ? kOctalBase
                          : specifier.conversion == 'x' || specifier.conversion == 'X'
                              ? kHexBase
                              : kDecimalBase;
    const std::string_view digitSet = specifier.conversion == 'X' ? kUpperDigits : kLowerDigits;
    std::string digits;
    for (std::uint32_t rest = magnitude; rest != 0; rest /= base) {
        digits.insert(digits.begin(), digitSet[rest % base]);
    }
    // Zero shows as "0" unless an explicit precision of 0 asks for no digits at all.
    const std::size_t minDigits =
        specifier.precision == kNoPrecision ? 1 : static_cast<std::size_t>(specifier.precision);
    if (digits.size() < minDigits) {
        digits.insert(0, minDigits - digits.size(), '0');
    }
    if (specifier.alternate && specifier.conversion == 'o' &&
        (digits.empty() || digits.front() != '0')) {
        digits.insert(digits.begin(), '0');
    }

    std::string_view prefix;
    if (negative) {
        prefix = "-";
    } else if (specifier.conversion == 'd' || specifier.conversion == 'i') {
        prefix = specifier.forceSign ? "+" : specifier.spaceSign ? " " : "";
    } else if (specifier.alternate && base == kHexBase && magnitude != 0) {
        prefix = specifier.conversion == 'X' ? "0X" : "0x";
    }
    // The 0 flag fills between sign and digits; a precision or left alignment overrides it.
    const std::size_t width = static_cast<std::size_t>(specifier.width);
    const std::size_t used = prefix.size() + digits.size();
    if (specifier.zeroPad && !specifier.leftAlign && specifier.precision == kNoPrecision &&
        width > used) {
        digits.insert(0, width - used, '0');
    }
    digits.insert(0, prefix);
    AppendPadded(out, digits, specifier);
}

class Output {
public:
    Output(std::span<const Arg> args, std::string& out) : args_(args), out_(out) {}

    void Literal(std::string_view text) { out_.append(text); }

    void Conversion(const Specifier& specifier, std::size_t index) {
        const Arg& arg = args_[index];
        if (specifier.conversion == 's') {
            const auto* text = std::get_if<const char*>(&arg.value);
            std::string_view shown = text && *text ? *text : "";
            if (specifier.precision != kNoPrecision) {
                shown = shown.substr(0, static_cast<std::size_t>(specifier.precision));
            }
            AppendPadded(out_, shown, specifier);
            return;
        }
        const auto* number = std::get_if<std::int32_t>(&arg.value);
        const std::int32_t value = number ? *number : 0;
        if (specifier.conversion == 'c') {
            const char letter = static_cast<char>(static_cast<unsigned char>(value));
            AppendPadded(out_, std::string_view(&letter, 1), specifier);
        } else {
            AppendInteger(out_, specifier, value);
        }
    }

private:
    std::span<const Arg> args_;
    std::string& out_;
};

std::vector<ArgKind> KindsOf(std::span<const Arg> args) {
    std::vector<ArgKind> kinds;
    kinds.reserve(args.size());
    for (const Arg& arg : args) {
        kinds.push_back(arg.kind);
    }
    return kinds;
}

} // namespace

Fit CheckFormat(const char* format, std::span<const catalogue::ArgKind> kinds) {
    return Walk(format, kinds, NoOutput{});
}

std::string FormatText(const char* format, std::span<const Arg> args) {
    const std::vector<ArgKind> kinds = KindsOf(args);
    if (CheckFormat(format, kinds) != Fit::Fits) {
        return std::string(TextOf(format));
    }
    std::string out;
    Walk(format, kinds, Output(args, out));
    // A %c of code 0 writes a NUL; every user of a text stops there, so the text ends there.
    if (const std::size_t nul = out.find('\0'); nul != std::string::npos) {
        out.resize(nul);
    }
    return out;
}

std::string FormatText(const char* format, std::initializer_list<Arg> args) {
    return FormatText(format, std::span<const Arg>(args.begin(), args.size()));
}

std::string FormatResource([[maybe_unused]] ResourceId id, const char* format,
                           std::initializer_list<Arg> args) {
    // A caller passing other arguments than the catalogue lists is a programming error: the
    // container's author wrote the format for the catalogue's arguments.
    assert(std::ranges::equal(KindsOf(std::span<const Arg>(args.begin(), args.size())),
                              catalogue::FormatArguments(id)));
    return FormatText(format, args);
}

std::string FormatDriveEntry(const char* format, int letter) {
    std::string entry =
        FormatResource(catalogue::kDriveEntryFormat, format, {Arg::character(letter)});
    entry.resize(std::min(entry.size(), catalogue::kDriveEntryMaxChars));
    return entry;
}

} // namespace format
