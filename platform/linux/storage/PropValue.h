// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One owner per property value: it clears the value (freeing its strings, releasing its
// interface) when it goes.

#include "platform/Storage.h"

#include <utility>

namespace platform::layer {

class PropValue {
public:
    PropValue() noexcept { win::PropVariantInit(&value_); }
    PropValue(PropValue&& other) noexcept : value_(other.value_) {
        win::PropVariantInit(&other.value_);
    }
    PropValue& operator=(PropValue&& other) noexcept {
        if (this != &other) {
            win::PropVariantClear(&value_);
            value_ = other.value_;
            win::PropVariantInit(&other.value_);
        }
        return *this;
    }
    PropValue(const PropValue&) = delete;
    PropValue& operator=(const PropValue&) = delete;
    ~PropValue() { win::PropVariantClear(&value_); }

    /// Makes this a copy of value (PropVariantCopy); on failure it stays as it was.
    win::HRESULT copyFrom(const win::PROPVARIANT& value) {
        PropValue copy;
        const win::HRESULT result = win::PropVariantCopy(&copy.value_, &value);
        if (win::SUCCEEDED(result))
            *this = std::move(copy);
        return result;
    }

    const win::PROPVARIANT& get() const noexcept { return value_; }

private:
    win::PROPVARIANT value_;
};

} // namespace platform::layer
