// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// libburn reads its source one block per call. Straight from libisofs's image, each such call
// takes the lock of libisofs's ring buffer and, whenever the generator waits on it, wakes the
// generator thread: two threads that meet 2048 bytes at a time. This source stands between the
// two and reads the image in large pieces, so that the threads meet once a piece; libburn's
// calls are served from memory on its own thread.

namespace burn {
struct burn_source;
} // namespace burn

namespace platform::layer {

/// A new source that delivers exactly the bytes of source, in order, reading them from it in
/// pieces of up to 64 KiB. A piece never reaches past the end that source's get_size gives
/// (libisofs drops a piece that its image's end cuts short); a read of source that fails fails
/// the read in hand, and the end of source ends this one. Cancelling it cancels source. It holds
/// a reference to source of its own, given back when its last reference goes (burn_source_free).
/// Null when no memory is left.
burn::burn_source* MakeBatchedSource(burn::burn_source* source);

} // namespace platform::layer
