// SPDX-License-Identifier: GPL-2.0-or-later
#include "XSession.h"

#include "support/Programs.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace xtest {
namespace {

constexpr auto kPoll = 50ms;
constexpr int kLongestProperty = 1024; // in 32-bit units
constexpr std::uint32_t kStateAdd = 1;
constexpr std::uint32_t kSourceApplication = 1;
constexpr const char* kDisplayVariables[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};

struct FreeDeleter {
    void operator()(void* reply) const noexcept { std::free(reply); }
};
template <typename Reply> using Owned = std::unique_ptr<Reply, FreeDeleter>;

// Reads the display number Xvfb writes to its -displayfd descriptor.
std::string ReadDisplay(int descriptor) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + kWait;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd source{descriptor, POLLIN, 0};
        if (::poll(&source, 1, static_cast<int>(kPoll.count())) <= 0)
            continue;
        char digit = 0;
        if (::read(descriptor, &digit, 1) != 1)
            break;
        if (digit == '\n')
            return number.empty() ? std::string() : ":" + number;
        number += digit;
    }
    return {};
}

template <typename Condition> bool PollUntil(std::chrono::milliseconds wait, Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kPoll);
    }
}

} // namespace

Background::Background(const std::vector<std::string>& arguments,
                       const std::map<std::string, std::string>& set,
                       const std::vector<std::string>& unset, int keep) {
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string variable(*entry);
        const std::string name = variable.substr(0, variable.find('='));
        if (!set.contains(name) && std::find(unset.begin(), unset.end(), name) == unset.end())
            environment.push_back(variable);
    }
    for (const auto& [name, value] : set)
        environment.push_back(name + "=" + value);
    std::vector<std::string> copies(arguments);
    std::vector<char*> argv = test::ArgumentPointers(copies);
    std::vector<char*> envp = test::ArgumentPointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    if (keep >= 0)
        posix_spawn_file_actions_adddup2(&actions, keep, keep); // clears close-on-exec
    pid_t child = 0;
    if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0)
        pid_ = child;
    posix_spawn_file_actions_destroy(&actions);
}

Background::~Background() {
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

bool HaveDesktopTools() {
    return test::HaveProgram("Xvfb") && test::HaveProgram("openbox") &&
           test::HaveProgram("xdotool");
}

XSession::XSession(int width, int height) {
    std::array<int, 2> ends{};
    if (::pipe(ends.data()) != 0)
        return;
    programs_.emplace_back(
        std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(ends[1]), "-screen", "0",
                                 std::to_string(width) + "x" + std::to_string(height) + "x24",
                                 "-nolisten", "tcp"},
        std::map<std::string, std::string>{}, std::vector<std::string>{}, ends[1]);
    ::close(ends[1]);
    display_ = ReadDisplay(ends[0]);
    ::close(ends[0]);
    if (display_.empty())
        return;
    connection_ = xcb_connect(display_.c_str(), nullptr);
    if (xcb_connection_has_error(connection_) != 0) {
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return;
    }
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    programs_.push_back(start({"openbox"}, {}));
    managed_ = PollUntil(kWait, [&] { return !values(root_, "_NET_SUPPORTING_WM_CHECK").empty(); });
}

XSession::~XSession() {
    if (connection_ != nullptr)
        xcb_disconnect(connection_);
    // The window manager goes before its server.
    while (!programs_.empty())
        programs_.pop_back();
}

Background XSession::start(const std::vector<std::string>& arguments,
                           std::map<std::string, std::string> environment) const {
    environment["DISPLAY"] = display_;
    std::vector<std::string> unset;
    for (const char* variable : kDisplayVariables)
        if (!environment.contains(variable))
            unset.emplace_back(variable);
    return Background(arguments, environment, unset);
}

xcb_atom_t XSession::atom(const char* name) {
    Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::vector<std::uint32_t> XSession::values(xcb_window_t window, const char* property) {
    Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, window, atom(property),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kLongestProperty),
                               nullptr));
    if (reply == nullptr || reply->format != 32)
        return {};
    const auto* first = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return std::vector<std::uint32_t>(first, first + xcb_get_property_value_length(reply.get()) /
                                                         sizeof(std::uint32_t));
}

std::string XSession::title(xcb_window_t window) {
    Owned<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 0, window, atom("_NET_WM_NAME"),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kLongestProperty),
                               nullptr));
    if (reply == nullptr)
        return {};
    const auto* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(text, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

std::vector<xcb_window_t> XSession::stacking() {
    return values(root_, "_NET_CLIENT_LIST_STACKING");
}

xcb_window_t XSession::waitForWindow(const std::string& wanted, std::chrono::milliseconds wait) {
    xcb_window_t found = 0;
    PollUntil(wait, [&] {
        for (const xcb_window_t window : stacking()) {
            if (title(window) == wanted) {
                found = window;
                return true;
            }
        }
        return false;
    });
    return found;
}

bool XSession::waitForNoWindow(const std::string& wanted, std::chrono::milliseconds wait) {
    return PollUntil(wait, [&] {
        for (const xcb_window_t window : stacking())
            if (title(window) == wanted)
                return false;
        return true;
    });
}

xcb_window_t XSession::activeWindow() {
    const std::vector<std::uint32_t> active = values(root_, "_NET_ACTIVE_WINDOW");
    return active.empty() ? 0 : active.front();
}

std::vector<std::string> XSession::atomNames(xcb_window_t window, const char* property) {
    std::vector<std::string> names;
    for (const std::uint32_t value : values(window, property)) {
        Owned<xcb_get_atom_name_reply_t> reply(
            xcb_get_atom_name_reply(connection_, xcb_get_atom_name(connection_, value), nullptr));
        if (reply != nullptr)
            names.emplace_back(
                xcb_get_atom_name_name(reply.get()),
                static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())));
    }
    return names;
}

Rect XSession::frame(xcb_window_t window) {
    Owned<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
    Owned<xcb_translate_coordinates_reply_t> origin(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, root_, 0, 0), nullptr));
    if (geometry == nullptr || origin == nullptr)
        return {};
    std::vector<std::uint32_t> extents = values(window, "_NET_FRAME_EXTENTS"); // l, r, t, b
    extents.resize(4, 0);
    return {origin->dst_x - static_cast<int>(extents[0]),
            origin->dst_y - static_cast<int>(extents[2]),
            geometry->width + static_cast<int>(extents[0] + extents[1]),
            geometry->height + static_cast<int>(extents[2] + extents[3])};
}

void XSession::requestState(xcb_window_t window, const char* state) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("_NET_WM_STATE");
    message.data.data32[0] = kStateAdd;
    message.data.data32[1] = atom(state);
    message.data.data32[3] = kSourceApplication;
    xcb_send_event(connection_, 0, root_,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection_);
}

bool XSession::xdotool(const std::vector<std::string>& arguments) const {
    std::vector<std::string> command{"env", "DISPLAY=" + display_, "xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return test::RunProgram(command).status == 0;
}

} // namespace xtest
