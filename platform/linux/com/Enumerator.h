// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An enumerator over a fixed list, for the IEnum* interfaces that share Next, Skip, Reset and
// Clone. Deliver turns a stored item into what Next hands out (an added reference for an
// interface). Clones share the list and start at the position of the original.

#include "platform/linux/com/ComObject.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace platform::layer {

template <typename Interface, typename Item, typename Out, Out (*Deliver)(const Item&)>
class Enumerator final : public ComObject<Interface> {
public:
    using Items = std::shared_ptr<const std::vector<Item>>;

    explicit Enumerator(Items items, std::size_t position = 0)
        : items_(std::move(items)), position_(position) {}

    /// S_OK when count items were delivered, S_FALSE when the list ended first; E_POINTER for
    /// no output, or no fetched count when more than one is asked for.
    win::HRESULT STDMETHODCALLTYPE Next(win::ULONG count, Out* out, win::ULONG* fetched) override {
        if (out == nullptr || (fetched == nullptr && count != 1))
            return win::E_POINTER;
        win::ULONG delivered = 0;
        for (; delivered < count && position_ < items_->size(); ++delivered)
            out[delivered] = Deliver((*items_)[position_++]);
        if (fetched != nullptr)
            *fetched = delivered;
        return delivered == count ? win::S_OK : win::S_FALSE;
    }

    win::HRESULT STDMETHODCALLTYPE Skip(win::ULONG count) override {
        const std::size_t skipped = std::min<std::size_t>(count, items_->size() - position_);
        position_ += skipped;
        return skipped == count ? win::S_OK : win::S_FALSE;
    }

    win::HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return win::S_OK;
    }

    win::HRESULT STDMETHODCALLTYPE Clone(Interface** copy) override {
        if (copy == nullptr)
            return win::E_POINTER;
        *copy = MakeComObject<Enumerator>(items_, position_).detach();
        return win::S_OK;
    }

private:
    Items items_;
    std::size_t position_;
};

} // namespace platform::layer
