// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/RecorderRef.h"

#include <utility>

using namespace win;

namespace {

// Frees a system string when it goes.
class SystemString {
public:
    SystemString() = default;
    ~SystemString() { SysFreeString(text_); }
    SystemString(const SystemString&) = delete;
    SystemString& operator=(const SystemString&) = delete;

    BSTR* put() { return &text_; }
    BSTR get() const { return text_; }

private:
    BSTR text_ = nullptr;
};

constexpr int kUpToTerminator = -1;

std::string ToAnsi(BSTR text) {
    if (text == nullptr)
        return {};
    const int size =
        WideCharToMultiByte(CP_THREAD_ACP, 0, text, kUpToTerminator, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string converted(static_cast<std::size_t>(size), '\0');
    if (WideCharToMultiByte(CP_THREAD_ACP, 0, text, kUpToTerminator, converted.data(), size,
                            nullptr, nullptr) != size)
        return {};
    converted.pop_back(); // the converted terminator
    return converted;
}

} // namespace

RecorderRef::~RecorderRef() {
    reset();
}

std::string RecorderRef::devicePath() {
    if (empty())
        return {};
    SystemString path;
    if (FAILED(record(ref_->GetPath(path.put()))))
        return {};
    return ToAnsi(path.get());
}

void RecorderRef::reset() {
    closeAndRelease();
}

void RecorderRef::attach(platform::ComPtr<IDiscRecorder> recorder) {
    reset();
    ref_ = std::move(recorder);
}
