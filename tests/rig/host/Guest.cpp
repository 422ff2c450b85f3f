// SPDX-License-Identifier: GPL-2.0-or-later
#include "Guest.h"

#include "platform/linux/ScopedDescriptor.h"
#include "support/Programs.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace rig {
namespace {

constexpr const char* kEmulator = "qemu-system-x86_64";
constexpr const char* kGuestVariable = "BOOTMEDIA_RIG_GUEST";
constexpr const char* kAccelVariable = "BOOTMEDIA_RIG_ACCEL";
constexpr const char* kDefaultAccel = "tcg";
constexpr const char* kMemory = "512"; // the initramfs takes a fifth, twice while unpacked
// The kernel's console on the first port; quiet keeps it to warnings, panic=-1 turns a dead
// first process into a reboot, which -no-reboot turns into QEMU's end.
constexpr const char* kKernelArguments = "console=ttyS0 quiet panic=-1";
constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr std::size_t kDiagnosticLines = 40;
constexpr std::size_t kReplyBytes = 4096;
// device_del waits for the disk's requests in flight; a QEMU that takes longer has hung.
constexpr time_t kQmpReplySeconds = 60;

std::string FileIn(const std::string& folder, const char* name) {
    return folder + "/" + name;
}

std::vector<std::string> LastLines(const std::string& path, std::size_t count) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    if (lines.size() > count)
        lines.erase(lines.begin(), lines.end() - static_cast<std::ptrdiff_t>(count));
    return lines;
}

std::vector<std::string> Accelerators() {
    const char* chosen = std::getenv(kAccelVariable);
    std::istringstream list(chosen != nullptr && *chosen != '\0' ? chosen : kDefaultAccel);
    std::vector<std::string> accelerators;
    for (std::string name; std::getline(list, name, ':');)
        accelerators.push_back(name);
    return accelerators;
}

// A client of QEMU's machine protocol: one JSON object a line, answers and events mixed.
class QmpConnection {
public:
    explicit QmpConnection(int socket) : socket_(socket) {}

    // Reads lines until one holds key; false when the connection ends or times out first.
    bool readLineWith(std::string_view key, std::string& line) {
        for (;;) {
            for (std::size_t end; (end = received_.find('\n')) != std::string::npos;) {
                line = received_.substr(0, end);
                received_.erase(0, end + 1);
                if (line.find(key) != std::string::npos)
                    return true;
            }
            char buffer[kReplyBytes];
            const ssize_t got = read(socket_, buffer, sizeof buffer);
            if (got <= 0)
                return false;
            received_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    // Sends command and waits for its answer; true when it is a success.
    bool execute(const std::string& command) {
        const std::string line = command + "\n";
        // A QEMU that has already ended must not end the test with SIGPIPE.
        if (send(socket_, line.data(), line.size(), MSG_NOSIGNAL) !=
            static_cast<ssize_t>(line.size()))
            return false;
        // Events may come first; the answer holds "return" or "error".
        for (std::string answer; readLineWith("\"", answer);) {
            if (answer.find("\"return\"") != std::string::npos)
                return true;
            if (answer.find("\"error\"") != std::string::npos)
                return false;
        }
        return false;
    }

private:
    int socket_;
    std::string received_;
};

} // namespace

std::string GuestFolder() {
    const char* folder = std::getenv(kGuestVariable);
    return folder != nullptr ? folder : "";
}

Guest::Guest(GuestSetup setup)
    : setup_(std::move(setup)), socket_(socketFolder_.path("qmp.socket")) {
    std::string append = kKernelArguments;
    for (const std::string& variable : setup_.guestVariables)
        append.append(" ").append(variable);
    std::vector<std::string> arguments{kEmulator};
    const auto add = [&](std::initializer_list<std::string> words) {
        arguments.insert(arguments.end(), words);
    };
    for (const std::string& accelerator : Accelerators())
        add({"-accel", accelerator});
    const std::string guest = GuestFolder();
    add({"-machine", "pc", "-m", kMemory, "-nodefaults", "-display", "none", "-no-reboot"});
    add({"-kernel", FileIn(guest, "vmlinuz"), "-initrd", FileIn(guest, "initramfs.cpio")});
    add({"-append", append});
    // The kernel's console on the first serial port, the guest's report on the second.
    add({"-serial", "file:" + FileIn(setup_.folder, "console.log")});
    add({"-serial", "file:" + FileIn(setup_.folder, "report.log")});
    add({"-qmp", "unix:" + socket_ + ",server=on,wait=off"});
    arguments.insert(arguments.end(), setup_.devices.begin(), setup_.devices.end());

    std::vector<char*> argv = test::ArgumentPointers(arguments);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = FileIn(setup_.folder, "qemu.log");
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

Guest::~Guest() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        reap(true);
    }
}

bool Guest::reap(bool block) {
    int status = 0;
    if (pid_ <= 0)
        return true;
    if (waitpid(pid_, &status, block ? 0 : WNOHANG) != pid_)
        return false;
    pid_ = -1;
    return true;
}

bool Guest::waitFor(const std::function<bool()>& condition, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        // Look at QEMU first, so that what the guest did just before its end still counts.
        const bool ended = reap(false);
        if (condition())
            return true;
        if (ended || std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

bool Guest::removeDevice(const std::string& id) {
    const platform::layer::ScopedDescriptor socket(
        ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const timeval replyTimeout{kQmpReplySeconds, 0};
    if (!socket || socket_.size() >= sizeof address.sun_path ||
        setsockopt(socket.get(), SOL_SOCKET, SO_RCVTIMEO, &replyTimeout, sizeof replyTimeout) != 0)
        return false;
    socket_.copy(address.sun_path, socket_.size());
    if (connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return false;
    QmpConnection qmp(socket.get());
    std::string greeting;
    return qmp.readLineWith("\"QMP\"", greeting) &&
           qmp.execute(R"({"execute":"qmp_capabilities"})") &&
           qmp.execute(R"({"execute":"device_del","arguments":{"id":")" + id + R"("}})");
}

bool Guest::waitForEnd(std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!reap(false)) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid_, SIGKILL);
            reap(true);
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

std::vector<ReportLine> Guest::report() const {
    std::ifstream file(FileIn(setup_.folder, "report.log"));
    std::vector<ReportLine> lines;
    for (std::string line; std::getline(file, line);) {
        // The serial line ends each line with a carriage return too.
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t space = std::min(line.find(' '), line.size());
        lines.push_back({line.substr(0, space), line.substr(std::min(space + 1, line.size()))});
    }
    return lines;
}

std::string Guest::diagnostics() const {
    std::string text = "kernel console (" + FileIn(setup_.folder, "console.log") + "):\n";
    for (const std::string& line :
         LastLines(FileIn(setup_.folder, "console.log"), kDiagnosticLines))
        text += "  " + line + "\n";
    text += "QEMU:\n";
    for (const std::string& line : LastLines(FileIn(setup_.folder, "qemu.log"), kDiagnosticLines))
        text += "  " + line + "\n";
    return text;
}

} // namespace rig
