// SPDX-License-Identifier: GPL-2.0-or-later
#include "floppy/PageBuffer.h"

#include "platform/System.h"

using namespace win;

PageBuffer::PageBuffer(std::size_t bytes)
    : data_(VirtualAlloc(nullptr, bytes, MEM_COMMIT, PAGE_READWRITE)) {
}

PageBuffer::~PageBuffer() {
    if (data_ != nullptr)
        VirtualFree(data_, 0, MEM_RELEASE);
}
