// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One owner per COM reference: it releases the reference it holds when it goes.

#include "platform/Com.h"

#include <type_traits>
#include <utility>

namespace platform {

template <typename Interface> class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(ComPtr&& other) noexcept : pointer_(other.detach()) {}
    /// Takes over the reference of a pointer to a derived interface or class.
    template <typename Derived>
    requires std::is_convertible_v<Derived*, Interface*> ComPtr(ComPtr<Derived>&& other)
    noexcept : pointer_(other.detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        attach(other.detach());
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    /// Takes over a reference the caller owns (one from an out-parameter or a creation).
    static ComPtr adopt(Interface* pointer) noexcept {
        ComPtr owner;
        owner.pointer_ = pointer;
        return owner;
    }

    /// A second owner of the same object: adds a reference.
    ComPtr share() const noexcept {
        if (pointer_ != nullptr)
            pointer_->AddRef();
        return adopt(pointer_);
    }

    Interface* get() const noexcept { return pointer_; }
    Interface* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    /// Releases what is held and gives the slot for an out-parameter that delivers a reference.
    Interface** put() noexcept {
        reset();
        return &pointer_;
    }
    /// The same slot for the void** out-parameters of QueryInterface and CoCreateInstance.
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    /// Gives the reference up without releasing it.
    Interface* detach() noexcept { return std::exchange(pointer_, nullptr); }

    void reset() noexcept { attach(nullptr); }

private:
    void attach(Interface* pointer) noexcept {
        Interface* old = std::exchange(pointer_, pointer);
        if (old != nullptr)
            old->Release();
    }

    Interface* pointer_ = nullptr;
};

} // namespace platform
