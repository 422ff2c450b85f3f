// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One move-only owner per kind of libisofs and libburn object: a unique_ptr whose deleter is the
// library's own release function for that kind.

#include <memory>

namespace platform::layer {

template <auto Release> struct FreeWith {
    template <typename Object> void operator()(Object* object) const noexcept { Release(object); }
};

/// Owns an object of a C library that Release gives back.
template <typename Object, auto Release>
using LibraryOwner = std::unique_ptr<Object, FreeWith<Release>>;

} // namespace platform::layer
