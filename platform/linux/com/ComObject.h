// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The base of every COM object of the layer and of the tests' stand-ins: a thread-safe
// reference count and QueryInterface over the interfaces the object derives from. An object
// lives in the apartment of the thread that made it; only its count may be touched from others.

#include "platform/ComPtr.h"
#include "platform/linux/com/InterfaceIds.h"

#include <atomic>
#include <tuple>
#include <utility>

namespace platform::layer {

template <typename... Interfaces> class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    win::HRESULT STDMETHODCALLTYPE QueryInterface(win::REFIID iid, void** object) override {
        if (object == nullptr)
            return win::E_POINTER;
        *object = nullptr;
        if (iid == win::IID_IUnknown)
            *object = identity();
        else
            (offer<Interfaces>(iid, object) || ...);
        if (*object == nullptr)
            return win::E_NOINTERFACE;
        AddRef();
        return win::S_OK;
    }

    win::ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }

    win::ULONG STDMETHODCALLTYPE Release() override {
        const win::ULONG left = --references_;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    // Every QueryInterface for IUnknown gives the same pointer: COM's test of identity.
    win::IUnknown* identity() {
        using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;
        return static_cast<First*>(this);
    }

    template <typename Interface> bool offer(win::REFIID iid, void** object) {
        if (iid != IidOf<Interface>())
            return false;
        *object = static_cast<Interface*>(this);
        return true;
    }

    std::atomic<win::ULONG> references_{1};
};

/// Makes an object whose one reference the returned owner holds.
template <typename Object, typename... Args> ComPtr<Object> MakeComObject(Args&&... args) {
    // A COM object ends itself in its last Release.
    return ComPtr<Object>::adopt(new Object(std::forward<Args>(args)...));
}

/// Makes an object and hands out its interface iid, as a class's creation does.
template <typename Object, typename... Args>
win::HRESULT CreateComObject(win::REFIID iid, void** object, Args&&... args) {
    return MakeComObject<Object>(std::forward<Args>(args)...)->QueryInterface(iid, object);
}

} // namespace platform::layer
