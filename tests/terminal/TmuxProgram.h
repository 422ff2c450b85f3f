// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The real program on a terminal: a detached tmux session runs it in a working folder, keys go
// in with send-keys and the screen comes out with capture-pane. A shell around the program
// prints whether the terminal's modes came back as they were and the program's exit status.

#include <chrono>
#include <map>
#include <string>

namespace termtest {

inline constexpr const char* kRestoredMark = "TERMINAL-RESTORED";
inline constexpr const char* kExitMark = "PROGRAM-EXIT:";

class TmuxProgram {
public:
    /// Starts program in folder with the environment added, on a cols x rows terminal; the
    /// shell runs shellSetup first (e.g. "ulimit -f 100;"), for the program to inherit.
    TmuxProgram(const std::string& program, const std::string& folder,
                const std::map<std::string, std::string>& environment, int cols, int rows,
                const std::string& shellSetup = "");
    /// Ends the session (and the program, if it still runs).
    ~TmuxProgram();
    TmuxProgram(const TmuxProgram&) = delete;
    TmuxProgram& operator=(const TmuxProgram&) = delete;

    /// The screen's text.
    std::string screen() const;
    /// Polls the screen until it contains text; the last screen seen is kept in lastScreen.
    bool waitFor(const std::string& text, std::chrono::milliseconds timeout = kDefaultWait);
    /// tmux key names or literal text, as send-keys takes them.
    void keys(const std::string& keys) const;
    void resize(int cols, int rows) const;
    /// The program's process id as the shell reported it, 0 before it did.
    int programPid() const;
    /// Whether the pane shows the alternate screen (curses still holds the terminal).
    bool alternateScreen() const;

    std::string lastScreen;

    static constexpr std::chrono::milliseconds kDefaultWait{20000};

private:
    std::string tmux(const std::string& arguments) const;
    std::string session_;
    std::string pidFile_;
};

/// Whether tmux is there to drive the program with.
bool HaveTmux();

} // namespace termtest
