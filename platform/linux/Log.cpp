// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/Log.h"

#include "platform/NoDestructor.h"

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <string>
#include <unistd.h>

namespace platform::layer {
namespace {

constexpr const char* kStateVariable = "XDG_STATE_HOME";
constexpr const char* kHomeVariable = "HOME";
constexpr const char* kDefaultStateFolder = ".local/state";
constexpr const char* kProgramFolder = "bootmedia";
constexpr const char* kLogFileName = "bootmedia.log";
constexpr mode_t kLogFileMode = 0600;
constexpr std::size_t kTimeBytes = sizeof "2026-01-01 00:00:00";

// Serialises appends from the threads of one process, so that lines never interleave; appends
// from other processes are whole lines through O_APPEND.
std::mutex& LogMutex() {
    static NoDestructor<std::mutex> mutex;
    return mutex.get();
}

std::string Timestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[kTimeBytes] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

std::string LogRecord(std::string_view text) {
    std::string line = Timestamp() + " [" + std::to_string(getpid()) + "] ";
    for (const char c : text)
        line += (c == '\n' || c == '\r') ? ' ' : c;
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    line += '\n';
    return line;
}

} // namespace

std::string LogFilePath() {
    std::filesystem::path folder;
    const char* state = std::getenv(kStateVariable);
    if (state && state[0] == '/') {
        folder = state;
    } else {
        const char* home = std::getenv(kHomeVariable);
        if (!home || home[0] != '/')
            return {};
        folder = std::filesystem::path(home) / kDefaultStateFolder;
    }
    return (folder / kProgramFolder / kLogFileName).string();
}

void LogLine(std::string_view text) {
    const std::string path = LogFilePath();
    if (path.empty())
        return;
    const std::string record = LogRecord(text);
    std::lock_guard lock(LogMutex());
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, kLogFileMode);
    if (fd < 0)
        return;
    // One write per line keeps lines whole between processes; a short write is left as it is.
    [[maybe_unused]] const ssize_t written = ::write(fd, record.data(), record.size());
    ::close(fd);
}

} // namespace platform::layer
