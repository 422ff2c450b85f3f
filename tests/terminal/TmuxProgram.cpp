// SPDX-License-Identifier: GPL-2.0-or-later
#include "TmuxProgram.h"

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace termtest {
namespace {

constexpr std::chrono::milliseconds kPollInterval{100};
constexpr std::size_t kReadChunk = 4096;
std::atomic<int> sessionCount{0};

// Single quotes for the shell: 'a'\''b'.
std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

std::string Output(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe)
        return {};
    std::string output;
    std::array<char, kReadChunk> chunk{};
    std::size_t read = 0;
    while ((read = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) > 0)
        output.append(chunk.data(), read);
    return output;
}

} // namespace

bool HaveTmux() {
    return std::system("command -v tmux >/dev/null 2>&1") == 0;
}

TmuxProgram::TmuxProgram(const std::string& program, const std::string& folder,
                         const std::map<std::string, std::string>& environment, int cols, int rows,
                         const std::string& shellSetup)
    : session_("bootmedia-test-" + std::to_string(::getpid()) + "-" +
               std::to_string(sessionCount++)),
      pidFile_(folder + "/program.pid") {
    std::ostringstream script;
    script << "cd " << Quote(folder) << " || exit 1; before=$(stty -g); " << shellSetup;
    script << "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LANG=C.UTF-8";
    for (const auto& [name, value] : environment)
        script << ' ' << Quote(name + "=" + value);
    // The inner shell names the program's process before it becomes the program.
    script << " sh -c " << Quote("echo $$ > " + Quote(pidFile_) + "; exec " + Quote(program))
           << "; code=$?; ";
    script << "[ \"$before\" = \"$(stty -g)\" ] && echo " << kRestoredMark << "; ";
    script << "echo " << kExitMark << "$code; sleep 600";
    tmux("new-session -d -s " + session_ + " -x " + std::to_string(cols) + " -y " +
         std::to_string(rows) + " " + Quote("sh -c " + Quote(script.str())));
}

TmuxProgram::~TmuxProgram() {
    tmux("kill-session -t " + session_);
}

std::string TmuxProgram::tmux(const std::string& arguments) const {
    return Output("tmux " + arguments + " 2>/dev/null");
}

std::string TmuxProgram::screen() const {
    return tmux("capture-pane -p -t " + session_);
}

bool TmuxProgram::waitFor(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        lastScreen = screen();
        if (lastScreen.find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(kPollInterval);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

void TmuxProgram::keys(const std::string& keys) const {
    tmux("send-keys -t " + session_ + " " + keys);
}

void TmuxProgram::resize(int cols, int rows) const {
    tmux("resize-window -t " + session_ + " -x " + std::to_string(cols) + " -y " +
         std::to_string(rows));
}

int TmuxProgram::programPid() const {
    std::ifstream file(pidFile_);
    int pid = 0;
    file >> pid;
    return pid;
}

bool TmuxProgram::alternateScreen() const {
    return tmux("display-message -p -t " + session_ + " '#{alternate_on}'").rfind('1', 0) == 0;
}

} // namespace termtest
