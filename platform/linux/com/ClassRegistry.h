// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The classes CoCreateInstance can make. The layer's own (the shell CD burning service and the
// disc master) are built in; a test puts a stand-in over a class with RegisterClassFactory and
// removes it again with UnregisterClassFactory (or a ScopedClassOverride).

#include "platform/Com.h"

#include <functional>

namespace platform::layer {

/// Makes an object of the class and stores an added reference to its interface iid in *object;
/// a failure result is what CoCreateInstance reports.
using ClassFactory = std::function<win::HRESULT(win::REFIID iid, void** object)>;

/// Puts factory over the class, replacing one put there before; the built-in class of that
/// identifier is hidden while it stands.
void RegisterClassFactory(const win::CLSID& clsid, ClassFactory factory);
void UnregisterClassFactory(const win::CLSID& clsid);

/// Makes an object through the factory put over the class, else through the built-in class;
/// REGDB_E_CLASSNOTREG when neither exists.
win::HRESULT CreateClassObject(const win::CLSID& clsid, win::REFIID iid, void** object);

/// The layer's built-in classes; REGDB_E_CLASSNOTREG for any other identifier.
win::HRESULT CreateBuiltinObject(const win::CLSID& clsid, win::REFIID iid, void** object);

/// Puts a factory over a class for the lifetime of the object.
class ScopedClassOverride {
public:
    ScopedClassOverride(const win::CLSID& clsid, ClassFactory factory);
    ~ScopedClassOverride();
    ScopedClassOverride(const ScopedClassOverride&) = delete;
    ScopedClassOverride& operator=(const ScopedClassOverride&) = delete;

private:
    win::CLSID clsid_;
};

} // namespace platform::layer
