// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/headless/Console.h"

#include "platform/terminal/TerminalText.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fw::headless {
namespace {

constexpr int kDefaultColumns = 80;
constexpr char kUnshown = '?';
constexpr const char* kNoColourVariable = "NO_COLOR";
constexpr const char* kTerminalVariable = "TERM";
constexpr const char* kDumbTerminal = "dumb";
constexpr std::size_t kConversionFailed = static_cast<std::size_t>(-1);

// The bytes of text in the locale's encoding.
std::string Narrow(std::wstring_view text) {
    std::string bytes;
    std::mbstate_t state{};
    char character[MB_LEN_MAX];
    for (const wchar_t wide : text) {
        const std::size_t length = std::wcrtomb(character, wide, &state);
        if (length == kConversionFailed) {
            bytes += kUnshown;
            state = std::mbstate_t{};
            continue;
        }
        bytes.append(character, length);
    }
    return bytes;
}

void Write(std::FILE* stream, std::wstring_view text) {
    const std::string bytes = Narrow(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

bool ColoursWanted() {
    const char* terminal = std::getenv(kTerminalVariable);
    return std::getenv(kNoColourVariable) == nullptr && terminal != nullptr &&
           std::strcmp(terminal, kDumbTerminal) != 0;
}

} // namespace

Console::Console(std::FILE* out, std::FILE* err, bool terminal, bool colours, int columns)
    : out_(out), err_(err), terminal_(terminal), colours_(terminal && colours), columns_(columns) {
}

Console Console::ForProcess() {
    const bool terminal = ::isatty(STDERR_FILENO) != 0;
    return Console(stdout, stderr, terminal, ColoursWanted());
}

int Console::Columns() const {
    if (columns_ > 0)
        return columns_;
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return kDefaultColumns;
}

void Console::Error(std::wstring_view text) const {
    Write(err_, text);
}

void Console::Output(std::wstring_view text) const {
    Write(out_, text);
}

std::wstring LocaleText(std::string_view ansi) {
    return term::ToTerminal(ansi);
}

} // namespace fw::headless
