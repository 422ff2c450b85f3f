// SPDX-License-Identifier: GPL-2.0-or-later
// The window that carries calls to the UI thread, on the real Win32 of Wine: each kind carries
// calls, the hidden top-level one stays out of the user's way, the fallback and the refusal work.
// The wine stage runs this program in Wine's default (NT) mode and in its Windows 98 mode, and
// names the kind the system should get in BOOTMEDIA_EXPECT_CALL_WINDOW.
#include "platform/win32/CallWindowPlan.h"
#include "platform/win32/UiCallWindow.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <process.h>
#include <string>
#include <vector>

namespace fw::win32 {
namespace {

constexpr char kCallMessageName[] = "BootMediaUiCall";
constexpr DWORD kPumpLimitMilliseconds = 10000;
constexpr int kCallsPerThread = 20;
constexpr DWORD kStrayDeliveryMilliseconds = 100;
constexpr DWORD kPumpSliceMilliseconds = 10;
constexpr int kMeetingThreads = 8;
constexpr DWORD kSlowInitialisationMilliseconds = 50;
constexpr int kInitialisedValue = 42;

/// A thread of the C runtime that runs body and is joined when this goes. (The win32 thread
/// model of this compiler has no std::thread.)
class Thread {
public:
    explicit Thread(std::function<void()> body) : body_(std::move(body)) {
        handle_ =
            reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &Thread::Run, this, 0, nullptr));
    }
    ~Thread() {
        if (handle_ != nullptr) {
            WaitForSingleObject(handle_, INFINITE);
            CloseHandle(handle_);
        }
    }
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    bool started() const { return handle_ != nullptr; }

private:
    static unsigned __stdcall Run(void* self) {
        static_cast<Thread*>(self)->body_();
        return 0;
    }
    std::function<void()> body_;
    HANDLE handle_ = nullptr;
};

/// Runs body on another thread while this one, the UI thread, handles messages; returns once
/// body has ended (a failed test may not leave a thread waiting on a window that is gone).
void WhileUiThreadPumps(const std::function<void()>& body) {
    std::atomic<bool> done{false};
    const Thread worker([&] {
        body();
        done = true;
    });
    ASSERT_TRUE(worker.started());
    const DWORD start = GetTickCount();
    while (!done && GetTickCount() - start < kPumpLimitMilliseconds) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPumpSliceMilliseconds, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
}

std::string KindName(std::optional<CallWindowKind> kind) {
    if (!kind)
        return "none";
    return *kind == CallWindowKind::MessageOnly ? "message-only" : "top-level";
}

// Checks that calls from another thread run on the UI thread, one at a time, and that the caller
// sees their effect as soon as the call returns, for each kind of window.
TEST(UiCallWindow, RunsEveryCallOnTheUiThreadWhileTheCallerWaits) {
    for (const CallWindowKind kind :
         {CallWindowKind::MessageOnly, CallWindowKind::HiddenTopLevel}) {
        SCOPED_TRACE(KindName(kind));
        UiCallWindow calls({{kind}});
        ASSERT_EQ(calls.kind(), kind);
        const DWORD uiThread = GetCurrentThreadId();
        int ran = 0;
        bool allOnUiThread = true;
        bool allSeenAtOnce = true;
        WhileUiThreadPumps([&] {
            for (int i = 0; i < kCallsPerThread; ++i) {
                const bool called = calls.call([&] {
                    allOnUiThread = allOnUiThread && GetCurrentThreadId() == uiThread;
                    ++ran;
                });
                allSeenAtOnce = allSeenAtOnce && called && ran == i + 1;
            }
        });
        EXPECT_EQ(ran, kCallsPerThread);
        EXPECT_TRUE(allOnUiThread);
        EXPECT_TRUE(allSeenAtOnce);
    }
}

// Checks that the top-level call window is never shown, is kept out of the task bar, and is not
// activated when a shown window of the program goes away (the system then activates another).
TEST(UiCallWindow, HiddenTopLevelWindowStaysOutOfTheUsersWay) {
    UiCallWindow calls({{CallWindowKind::HiddenTopLevel}});
    HWND window = calls.handle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);

    HWND shown = CreateWindowExA(0, "Static", "shown", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                                 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(shown, nullptr);
    SetForegroundWindow(shown);
    DestroyWindow(shown);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_NE(GetActiveWindow(), window);
    EXPECT_NE(GetForegroundWindow(), window);
}

// Checks that a message-only call window is not a top-level window at all.
TEST(UiCallWindow, MessageOnlyWindowIsNoTopLevelWindow) {
    UiCallWindow calls({{CallWindowKind::MessageOnly}});
    ASSERT_NE(calls.handle(), nullptr);
    EXPECT_NE(GetAncestor(calls.handle(), GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(calls.handle()));
}

// Checks that the plan's later tries are taken when earlier ones fail, and that with none left
// there is no window and calls fail without running.
TEST(UiCallWindow, FallsBackInPlanOrderAndFailsWithoutAnyWindow) {
    struct Case {
        const char* name;
        std::vector<CallWindowAttempt> plan;
        std::optional<CallWindowKind> kind;
    };
    const Case cases[] = {
        {"message-only refused",
         {{CallWindowKind::MessageOnly, true}, {CallWindowKind::HiddenTopLevel}},
         CallWindowKind::HiddenTopLevel},
        {"message-only first",
         {{CallWindowKind::MessageOnly}, {CallWindowKind::HiddenTopLevel}},
         CallWindowKind::MessageOnly},
        {"every try refused",
         {{CallWindowKind::MessageOnly, true}, {CallWindowKind::HiddenTopLevel, true}},
         std::nullopt},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        UiCallWindow calls(test.plan);
        EXPECT_EQ(calls.kind(), test.kind);
        EXPECT_EQ(calls.handle() != nullptr, test.kind.has_value());
        bool ran = false;
        bool called = false;
        WhileUiThreadPumps([&] { called = calls.call([&] { ran = true; }); });
        EXPECT_EQ(called, test.kind.has_value());
        EXPECT_EQ(ran, test.kind.has_value());
    }
}

// Checks that the window's message from anybody else runs nothing, whatever its parameter points
// at: a top-level window also receives what other programs broadcast.
TEST(UiCallWindow, IgnoresItsMessageFromAnybodyElse) {
    UiCallWindow calls({{CallWindowKind::HiddenTopLevel}});
    ASSERT_NE(calls.handle(), nullptr);
    const UINT message = RegisterWindowMessageA(kCallMessageName);
    bool ran = false;
    const std::function<void()> stray = [&] { ran = true; };
    const auto strayWork = reinterpret_cast<LPARAM>(&stray);
    EXPECT_EQ(SendMessageA(calls.handle(), message, 0, strayWork), 0);
    PostMessageA(HWND_BROADCAST, message, 0, strayWork);
    WhileUiThreadPumps([] { Sleep(kStrayDeliveryMilliseconds); });
    EXPECT_FALSE(ran);

    bool called = false;
    WhileUiThreadPumps([&] { called = calls.call([&] { ran = true; }); });
    EXPECT_TRUE(called);
    EXPECT_TRUE(ran);
}

// Checks that a request to close the program's top-level windows, as a task manager sends it,
// leaves the call window in place and carrying calls.
TEST(UiCallWindow, OutlivesACloseRequest) {
    UiCallWindow calls({{CallWindowKind::HiddenTopLevel}});
    ASSERT_NE(calls.handle(), nullptr);
    SendMessageA(calls.handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(calls.handle()));
    bool ran = false;
    WhileUiThreadPumps([&] { calls.call([&] { ran = true; }); });
    EXPECT_TRUE(ran);
}

// Checks that a closed window refuses calls at once, without running them.
TEST(UiCallWindow, RefusesCallsOnceClosed) {
    UiCallWindow calls({{CallWindowKind::HiddenTopLevel}});
    calls.close();
    bool ran = false;
    bool called = true;
    WhileUiThreadPumps([&] { called = calls.call([&] { ran = true; }); });
    EXPECT_FALSE(called);
    EXPECT_FALSE(ran);
}

// Checks that the program gets the window the running system calls for, and that the test switch
// forces the fallback or the refusal: BOOTMEDIA_EXPECT_CALL_WINDOW names what the wine stage
// expects of the version Wine reports and of the switch it set.
TEST(CallWindowPlan, TheSystemAndTheSwitchChooseTheWindow) {
    const char* expected = std::getenv("BOOTMEDIA_EXPECT_CALL_WINDOW");
    if (expected == nullptr)
        GTEST_SKIP() << "BOOTMEDIA_EXPECT_CALL_WINDOW is not set";
    UiCallWindow calls(PlanCallWindow(SystemHasMessageOnlyWindows(), ReadCallWindowFault()));
    EXPECT_EQ(KindName(calls.kind()), expected);
}

// Checks that the runtime's semaphores come from the ANSI call: the import slot that libgcc's
// and libstdc++'s mutexes read is not the system's Unicode function, and what it makes works,
// with and without a name. (That the program itself imports no CreateSemaphoreW, which takes
// the platform library's link option, is check_imports.sh's to see: a call here pulls the slot
// in by itself.)
TEST(SemaphoreImport, RuntimeSemaphoresWorkThroughTheAnsiCall) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_NE(reinterpret_cast<std::uintptr_t>(&CreateSemaphoreW),
              reinterpret_cast<std::uintptr_t>(GetProcAddress(kernel, "CreateSemaphoreW")));

    HANDLE unnamed = CreateSemaphoreW(nullptr, 0, 1, nullptr);
    ASSERT_NE(unnamed, nullptr);
    EXPECT_TRUE(ReleaseSemaphore(unnamed, 1, nullptr));
    EXPECT_EQ(WaitForSingleObject(unnamed, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(unnamed, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(unnamed);

    HANDLE named = CreateSemaphoreW(nullptr, 1, 1, L"BootMediaWineTestSemaphore");
    ASSERT_NE(named, nullptr);
    HANDLE opened = OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, "BootMediaWineTestSemaphore");
    EXPECT_NE(opened, nullptr);
    CloseHandle(opened);
    CloseHandle(named);
}

int SlowlyInitialisedOnce(std::atomic<int>& initialisations) {
    static const int value = [&] {
        ++initialisations;
        Sleep(kSlowInitialisationMilliseconds);
        return kInitialisedValue;
    }();
    return value;
}

// Checks that threads meeting in a function-local static's initialisation wait for the one that
// runs it: the guard's mutex needs a working semaphore.
TEST(SemaphoreImport, StaticInitialisationGuardHoldsWhenThreadsMeet) {
    std::atomic<int> initialisations{0};
    std::atomic<int> wrongValues{0};
    {
        std::vector<std::unique_ptr<Thread>> threads;
        for (int i = 0; i < kMeetingThreads; ++i)
            threads.push_back(std::make_unique<Thread>([&] {
                if (SlowlyInitialisedOnce(initialisations) != kInitialisedValue)
                    ++wrongValues;
            }));
    }
    EXPECT_EQ(initialisations, 1);
    EXPECT_EQ(wrongValues, 0);
}

} // namespace
} // namespace fw::win32
