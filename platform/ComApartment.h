// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Keeps the calling thread in COM for the lifetime of the object: CoInitialize on construction,
// and the balancing CoUninitialize on destruction when the entry succeeded (a failed entry,
// such as one in another apartment model, must not be balanced).

#include "platform/Com.h"

namespace platform {

class ComApartment {
public:
    ComApartment() {
        using namespace win; // SUCCEEDED is a macro on Windows
        entered_ = SUCCEEDED(win::CoInitialize(nullptr));
    }
    ~ComApartment() {
        if (entered_)
            win::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool entered_ = false;
};

} // namespace platform
