// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/com/ClassRegistry.h"

#include "platform/NoDestructor.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace platform::layer {
namespace {

struct Registration {
    win::CLSID clsid;
    ClassFactory factory;
};

struct Registry {
    std::mutex mutex;
    std::vector<Registration> registrations;
};

Registry& registry() {
    static NoDestructor<Registry> instance;
    return instance.get();
}

} // namespace

void RegisterClassFactory(const win::CLSID& clsid, ClassFactory factory) {
    UnregisterClassFactory(clsid);
    std::lock_guard lock(registry().mutex);
    registry().registrations.push_back({clsid, std::move(factory)});
}

void UnregisterClassFactory(const win::CLSID& clsid) {
    std::lock_guard lock(registry().mutex);
    std::erase_if(registry().registrations,
                  [&](const Registration& registration) { return registration.clsid == clsid; });
}

win::HRESULT CreateClassObject(const win::CLSID& clsid, win::REFIID iid, void** object) {
    ClassFactory factory;
    {
        std::lock_guard lock(registry().mutex);
        auto found = std::find_if(
            registry().registrations.begin(), registry().registrations.end(),
            [&](const Registration& registration) { return registration.clsid == clsid; });
        if (found != registry().registrations.end())
            factory = found->factory;
    }
    // The factory runs outside the lock: a stand-in may itself create objects.
    if (factory)
        return factory(iid, object);
    return CreateBuiltinObject(clsid, iid, object);
}

ScopedClassOverride::ScopedClassOverride(const win::CLSID& clsid, ClassFactory factory)
    : clsid_(clsid) {
    RegisterClassFactory(clsid_, std::move(factory));
}

ScopedClassOverride::~ScopedClassOverride() {
    UnregisterClassFactory(clsid_);
}

} // namespace platform::layer
