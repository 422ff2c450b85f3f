// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/terminal/CursesSession.h"

#include "platform/System.h"
#include "platform/linux/EndingSignals.h"

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <curses.h>
#include <map>
#include <term.h>
#include <termios.h>
#include <unistd.h>

namespace fw::term {
namespace {

constexpr int kEscapeDelayMs = 25;
constexpr std::size_t kRestoreBytes = 256;
using platform::layer::kEndingSignals;
// Capabilities that undo what curses did to the screen: attributes, cursor, keypad, alternate
// screen.
constexpr std::array<const char*, 4> kRestoreCapabilities{"sgr0", "cnorm", "rmkx", "rmcup"};
constexpr int kFullColour = 255;
constexpr int kCubeLevels = 6;
constexpr int kCubeFirst = 16;
constexpr int kRichColours = 256;
constexpr unsigned kRedShift = 16;
constexpr unsigned kGreenShift = 8;
constexpr unsigned kByte = 0xFF;
constexpr int kBasicBrightness = 128;
constexpr short kFirstBlockPair = 1;

// What the emergency restore needs, prepared while the session opens so that a signal handler
// can use it: only write and tcsetattr run there.
struct RestoreState {
    termios saved{};
    char sequence[kRestoreBytes]{};
    std::size_t length = 0;
};
RestoreState restoreState;
std::atomic<bool> restorePending{false};
bool handlersInstalled = false;

void RestoreTerminal() noexcept {
    if (!restorePending.exchange(false))
        return;
    std::size_t written = 0;
    while (written < restoreState.length) {
        const ssize_t result =
            ::write(STDOUT_FILENO, restoreState.sequence + written, restoreState.length - written);
        if (result <= 0)
            break;
        written += static_cast<std::size_t>(result);
    }
    ::tcsetattr(STDIN_FILENO, TCSADRAIN, &restoreState.saved);
}

// The screen goes back at once; the process ends once a recording in progress has stopped.
void EndingSignal(int signal) {
    RestoreTerminal();
    platform::EndProcessBySignal(signal);
}

void InstallHandlers() {
    if (handlersInstalled)
        return;
    handlersInstalled = true;
    std::atexit([] { RestoreTerminal(); });
    platform::SetProcessEndHook(&RestoreTerminal);
    for (int signal : kEndingSignals) {
        struct sigaction handler {};
        handler.sa_handler = &EndingSignal;
        ::sigemptyset(&handler.sa_mask);
        ::sigaction(signal, &handler, nullptr);
    }
}

void PrepareRestore() {
    restoreState.length = 0;
    for (const char* name : kRestoreCapabilities) {
        const char* value = ::tigetstr(name);
        if (value == nullptr || value == reinterpret_cast<char*>(-1))
            continue;
        const std::size_t length = std::strlen(value);
        if (restoreState.length + length > kRestoreBytes)
            break;
        std::memcpy(restoreState.sequence + restoreState.length, value, length);
        restoreState.length += length;
    }
}

int Channel(unsigned rgb, unsigned shift) {
    return static_cast<int>((rgb >> shift) & kByte);
}

// The terminal's colour nearest to rgb: the 6x6x6 cube of 256-colour terminals, else the
// eight basic colours.
short NearestColour(unsigned rgb) {
    const int red = Channel(rgb, kRedShift);
    const int green = Channel(rgb, kGreenShift);
    const int blue = Channel(rgb, 0);
    if (COLORS >= kRichColours) {
        const auto level = [](int value) {
            return (value * (kCubeLevels - 1) + kFullColour / 2) / kFullColour;
        };
        return static_cast<short>(kCubeFirst + level(red) * kCubeLevels * kCubeLevels +
                                  level(green) * kCubeLevels + level(blue));
    }
    short colour = COLOR_BLACK;
    if (red >= kBasicBrightness)
        colour = static_cast<short>(colour | COLOR_RED);
    if (green >= kBasicBrightness)
        colour = static_cast<short>(colour | COLOR_GREEN);
    if (blue >= kBasicBrightness)
        colour = static_cast<short>(colour | COLOR_BLUE);
    return colour;
}

std::map<short, short> madePairs; // colour -> pair; UI thread
short nextPair = kFirstBlockPair;

} // namespace

CursesSession::~CursesSession() {
    close();
}

bool CursesSession::open() {
    if (open_)
        return true;
    if (::isatty(STDIN_FILENO) == 0 || ::isatty(STDOUT_FILENO) == 0)
        return false;
    if (::tcgetattr(STDIN_FILENO, &restoreState.saved) != 0)
        return false;
    const char* type = std::getenv("TERM");
    SCREEN* screen = ::newterm(type, stdout, stdin);
    if (screen == nullptr)
        return false;
    ::set_term(screen);
    PrepareRestore();
    InstallHandlers();
    restorePending = true;
    open_ = true;
    ::cbreak();
    ::noecho();
    ::nonl();
    ::keypad(stdscr, TRUE);
    ::nodelay(stdscr, TRUE);
    ::set_escdelay(kEscapeDelayMs);
    ::curs_set(0);
    colours_ = ::has_colors();
    if (colours_) {
        ::start_color();
        ::use_default_colors();
    }
    madePairs.clear();
    nextPair = kFirstBlockPair;
    return true;
}

void CursesSession::close() {
    if (!open_)
        return;
    open_ = false;
    ::endwin();
    restorePending = false;
}

int CursesSession::inputDescriptor() {
    return STDIN_FILENO;
}

short CursesSession::colourPair(unsigned rgb) {
    if (!colours_)
        return 0;
    const short colour = NearestColour(rgb);
    if (auto made = madePairs.find(colour); made != madePairs.end())
        return made->second;
    if (nextPair < COLOR_PAIRS && ::init_pair(nextPair, colour, colour) == OK) {
        madePairs.emplace(colour, nextPair);
        return nextPair++;
    }
    return madePairs.empty() ? 0 : madePairs.begin()->second;
}

} // namespace fw::term
