// SPDX-License-Identifier: GPL-2.0-or-later
// Task memory is the C heap: what crosses the seam is a plain pointer.
#include "platform/linux/storage/TaskMemory.h"

#include <cstdlib>

namespace win {

LPVOID CoTaskMemAlloc(SIZE_T size) {
    return std::malloc(size);
}

void CoTaskMemFree(LPVOID memory) {
    std::free(memory);
}

} // namespace win

namespace platform::layer {

win::LPOLESTR CopyToTaskMemory(std::u16string_view text) {
    auto* copy =
        static_cast<win::LPOLESTR>(win::CoTaskMemAlloc((text.size() + 1) * sizeof(win::OLECHAR)));
    if (copy == nullptr)
        return nullptr;
    text.copy(copy, text.size());
    copy[text.size()] = 0;
    return copy;
}

} // namespace platform::layer
