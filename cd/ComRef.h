// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What every COM holder of the CD subsystem shares: it owns at most one interface reference
// (empty = none) and remembers the result of the most recent call made through it. A holder is
// a local object of the function that uses it and releases its reference when it goes.

#include "platform/ComPtr.h"

template <typename Interface> class ComRef {
public:
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    /// The result of the most recent call made through the holder (S_OK before any).
    win::HRESULT lastResult() const { return lastResult_; }
    bool empty() const { return !ref_; }
    /// The interface held, or null; the holder keeps the reference.
    Interface* get() const { return ref_.get(); }

protected:
    ComRef() = default;
    ~ComRef() = default;

    win::HRESULT record(win::HRESULT result) {
        lastResult_ = result;
        return result;
    }

    /// Closes the object held (Close of its interface), then releases it.
    void closeAndRelease() {
        if (ref_)
            record(ref_->Close());
        ref_.reset();
    }

    platform::ComPtr<Interface> ref_;

private:
    win::HRESULT lastResult_{}; // S_OK
};

/// CoCreateInstance of a class in an in-process or local server, without an outer object.
win::HRESULT CreateServerObject(const win::CLSID& clsid, const win::IID& iid, void** object);
