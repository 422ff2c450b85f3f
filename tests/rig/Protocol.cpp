// SPDX-License-Identifier: GPL-2.0-or-later
#include "Protocol.h"

#include <algorithm>
#include <cstdio>

namespace rig {
namespace {

constexpr char kQuote = '"';
constexpr char kEscape = '\\';
constexpr char kHexEscape = 'x';
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastPrintable = 0x7E;
constexpr int kHexBase = 16;

bool Printable(unsigned char c) {
    return c >= kFirstPrintable && c <= kLastPrintable;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Unescapes the quoted field that starts at line[at] (its opening quote); at ends past its
// closing quote, or at the end of the line for a field cut short.
std::string Unquote(std::string_view line, std::size_t& at) {
    std::string field;
    for (++at; at < line.size() && line[at] != kQuote; ++at) {
        if (line[at] != kEscape || at + 1 >= line.size()) {
            field += line[at];
            continue;
        }
        ++at;
        if (line[at] == kHexEscape && at + 2 < line.size() && HexDigit(line[at + 1]) >= 0 &&
            HexDigit(line[at + 2]) >= 0) {
            field += static_cast<char>(HexDigit(line[at + 1]) * kHexBase + HexDigit(line[at + 2]));
            at += 2;
        } else {
            field += line[at];
        }
    }
    ++at;
    return field;
}

} // namespace

std::string Quote(std::string_view text) {
    std::string quoted(1, kQuote);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == kQuote || c == kEscape) {
            quoted += kEscape;
            quoted += c;
        } else if (Printable(byte)) {
            quoted += c;
        } else {
            char escaped[sizeof "\\xHH"];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            quoted += escaped;
        }
    }
    return quoted += kQuote;
}

std::vector<std::string> SplitRecord(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::vector<std::string> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        if (line[at] == ' ') {
            ++at;
        } else if (line[at] == kQuote) {
            fields.push_back(Unquote(line, at));
        } else {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            fields.emplace_back(line.substr(at, end - at));
            at = end;
        }
    }
    return fields;
}

} // namespace rig
