// SPDX-License-Identifier: GPL-2.0-or-later
#include "tools/Manifest.h"

#include "tools/TextEscapes.h"

#include <cstdint>
#include <limits>
#include <map>

namespace tools {
namespace {

constexpr char kComment = '#';
constexpr std::string_view kBlanks = " \t";
constexpr std::string_view kTextKeyword = "text:";
constexpr std::string_view kFileKeyword = "file:";
constexpr std::uint32_t kMaxId = std::numeric_limits<ResourceId>::max();
constexpr std::size_t kMaxIdDigits = 10;
constexpr unsigned kDecimal = 10;

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

// A path that does not depend on the folder it is read from: /x, \x, or C:x.
bool IsAbsolute(std::string_view path) {
    return (!path.empty() && IsSeparator(path[0])) || (path.size() > 1 && path[1] == ':');
}

std::string FolderOf(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return path.substr(0, i);
    return {};
}

class Parser {
public:
    Parser(const std::string& manifestPath, std::vector<std::string>* errors)
        : manifestPath_(manifestPath), folder_(FolderOf(manifestPath)), errors_(errors) {}

    void parseLine(std::string_view line, std::size_t number) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = Trim(line);
        if (line.empty() || line.front() == kComment)
            return;
        line_ = number;

        std::size_t digits = 0;
        while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9')
            ++digits;
        if (digits == 0)
            return fail("expected an identifier (0 to 65535) at the start of the line");
        if (digits > kMaxIdDigits || Number(line.substr(0, digits)) > kMaxId)
            return fail("identifier " + std::string(line.substr(0, digits)) +
                        " is out of range (0 to 65535)");
        ManifestEntry entry;
        entry.id = static_cast<ResourceId>(Number(line.substr(0, digits)));
        entry.line = number;

        const std::string_view rest = Trim(line.substr(digits));
        if (rest.size() == line.size() - digits && !rest.empty())
            return fail("expected a blank after the identifier");
        std::string_view value;
        if (rest.starts_with(kTextKeyword)) {
            value = Trim(rest.substr(kTextKeyword.size()));
            std::string error;
            if (!DecodeEscapes(value, &entry.text, &error))
                return fail("in the text of " + std::to_string(entry.id) + ": " + error);
        } else if (rest.starts_with(kFileKeyword)) {
            value = Trim(rest.substr(kFileKeyword.size()));
            if (value.empty())
                return fail("file: needs a path");
            entry.source = ManifestEntry::Source::File;
            entry.path = IsAbsolute(value) ? std::string(value) : folder_ + std::string(value);
        } else {
            return fail("expected \"text:\" or \"file:\" after the identifier");
        }

        const auto [first, added] = firstLine_.emplace(entry.id, number);
        if (!added)
            return fail("identifier " + std::to_string(entry.id) +
                        " appears again (first on line " + std::to_string(first->second) + ")");
        entries_.push_back(std::move(entry));
    }

    std::vector<ManifestEntry> take() { return std::move(entries_); }

private:
    static std::uint64_t Number(std::string_view digits) {
        std::uint64_t value = 0;
        for (char c : digits)
            value = value * kDecimal + static_cast<unsigned>(c - '0');
        return value;
    }

    void fail(const std::string& what) {
        errors_->push_back(manifestPath_ + ":" + std::to_string(line_) + ": " + what);
    }

    const std::string& manifestPath_;
    std::string folder_;
    std::vector<std::string>* errors_;
    std::size_t line_ = 0;
    std::map<ResourceId, std::size_t> firstLine_;
    std::vector<ManifestEntry> entries_;
};

} // namespace

std::vector<ManifestEntry> ParseManifest(std::string_view text, const std::string& manifestPath,
                                         std::vector<std::string>* errors) {
    Parser parser(manifestPath, errors);
    std::size_t number = 1;
    for (std::size_t start = 0; start <= text.size(); ++number) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        parser.parseLine(text.substr(start, end - start), number);
        start = end + 1;
    }
    return parser.take();
}

std::string_view ManifestSyntaxHelp() {
    return "Manifest: plain text, one entry per line; blank lines and lines starting with # are\n"
           "skipped.\n"
           "  ID text: TEXT   the entry holds TEXT, an ASCII text with the escapes \\n \\r \\t "
           "\\\\\n"
           "                  and \\xHH (any byte, e.g. \\xE9 for an ANSI letter); blanks at\n"
           "                  either end are dropped (write \\x20 to keep one)\n"
           "  ID file: PATH   the entry holds the bytes of the file PATH, relative to the\n"
           "                  manifest's folder unless absolute\n"
           "ID is a decimal identifier from 0 to 65535 and appears once.\n";
}

} // namespace tools
