// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/cd/BatchedSource.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <libburn/libburn.h>
#include <memory>
#include <new>
#include <vector>

namespace platform::layer {
namespace {

// Large enough that the threads meet rarely, small enough to stay in the processor's cache.
constexpr std::size_t kPieceBytes = 64 * 1024;
constexpr int kEndOfData = 0;
constexpr int kFailed = -1;
constexpr int kFirstReference = 1;
// Version 1 of the source structure: read_xt and cancel instead of read.
constexpr int kSourceVersion = 1;
constexpr int kNothingToCancel = 0;
constexpr int kSizeIgnored = 0;

// The state of one batched source; the structure's data.
class Batches {
public:
    explicit Batches(burn::burn_source* source) : source_(source), piece_(kPieceBytes) {
        ++source_->refcount;
        left_ = source_->get_size(source_);
    }
    ~Batches() { burn::burn_source_free(source_); }
    Batches(const Batches&) = delete;
    Batches& operator=(const Batches&) = delete;

    burn::burn_source* source() const { return source_; }

    // libburn reports the end of its write through a flag it polls, which orders nothing between
    // its threads and the one that frees this source. So every call from libburn ends with a
    // release count (CalledByLibburn), and settle acquires it: after settle, the work of every call
    // that has ended happened before whatever the caller does next, freeing included.
    void endCall() { endedCalls_.fetch_add(1, std::memory_order_release); }
    void settle() const { static_cast<void>(endedCalls_.load(std::memory_order_acquire)); }

    int read(unsigned char* buffer, int size) {
        int delivered = 0;
        while (delivered < size) {
            if (taken_ == filled_) {
                const int got = refill();
                if (got < 0)
                    return kFailed;
                if (got == 0)
                    break;
            }
            const std::size_t take =
                std::min(filled_ - taken_, static_cast<std::size_t>(size - delivered));
            std::memcpy(buffer + delivered, piece_.data() + taken_, take);
            taken_ += take;
            delivered += static_cast<int>(take);
        }
        return delivered;
    }

private:
    // Reads the next piece: what source's read returns, 0 at its end.
    int refill() {
        const auto wanted =
            static_cast<int>(std::min<off_t>(static_cast<off_t>(piece_.size()), left_));
        if (wanted <= 0)
            return kEndOfData;
        const int got = source_->read != nullptr ? source_->read(source_, piece_.data(), wanted)
                                                 : source_->read_xt(source_, piece_.data(), wanted);
        if (got <= 0)
            return got < 0 ? kFailed : kEndOfData;
        filled_ = static_cast<std::size_t>(std::min(got, wanted));
        taken_ = 0;
        left_ -= static_cast<off_t>(filled_);
        return got;
    }

    burn::burn_source* source_;
    std::vector<unsigned char> piece_;
    std::size_t filled_ = 0;
    std::size_t taken_ = 0;
    // What source has still to deliver.
    off_t left_ = 0;
    std::atomic<unsigned> endedCalls_ = 0;
};

Batches& BatchesOf(burn::burn_source* batched) {
    return *static_cast<Batches*>(batched->data);
}

// Runs call on the state of batched as one call from libburn: its end is counted for settle.
template <typename Call> auto CalledByLibburn(burn::burn_source* batched, Call call) {
    Batches& batches = BatchesOf(batched);
    struct CallEnd {
        Batches& batches;
        ~CallEnd() { batches.endCall(); }
    } const end{batches};
    return call(batches);
}

int Read(burn::burn_source* batched, unsigned char* buffer, int size) {
    return CalledByLibburn(batched, [=](Batches& batches) { return batches.read(buffer, size); });
}

off_t GetSize(burn::burn_source* batched) {
    return CalledByLibburn(batched, [](Batches& batches) {
        burn::burn_source* source = batches.source();
        return source->get_size(source);
    });
}

int SetSize(burn::burn_source* batched, off_t size) {
    return CalledByLibburn(batched, [=](Batches& batches) {
        burn::burn_source* source = batches.source();
        return source->set_size != nullptr ? source->set_size(source, size) : kSizeIgnored;
    });
}

int Cancel(burn::burn_source* batched) {
    return CalledByLibburn(batched, [](Batches& batches) {
        burn::burn_source* source = batches.source();
        return source->read == nullptr && source->version >= kSourceVersion &&
                       source->cancel != nullptr
                   ? source->cancel(source)
                   : kNothingToCancel;
    });
}

void FreeData(burn::burn_source* batched) {
    // Takes back what MakeBatchedSource handed to libburn; libburn frees the structure itself.
    const std::unique_ptr<Batches> owned(&BatchesOf(batched));
    owned->settle();
    batched->data = nullptr;
}

struct FreeStructure {
    void operator()(burn::burn_source* batched) const noexcept { std::free(batched); }
};

} // namespace

burn::burn_source* MakeBatchedSource(burn::burn_source* source) {
    // libburn frees the structure with free() once its last reference goes.
    std::unique_ptr<burn::burn_source, FreeStructure> batched(
        static_cast<burn::burn_source*>(std::calloc(1, sizeof(burn::burn_source))));
    if (!batched)
        return nullptr;
    try {
        batched->data = std::make_unique<Batches>(source).release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    batched->refcount = kFirstReference;
    batched->get_size = GetSize;
    batched->set_size = SetSize;
    batched->free_data = FreeData;
    batched->version = kSourceVersion;
    batched->read_xt = Read;
    batched->cancel = Cancel;
    return batched.release();
}

} // namespace platform::layer
