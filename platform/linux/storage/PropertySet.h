// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A property set held in memory, for the services of the layer that hand one out (the disc
// master's Joliet properties). Values are kept as copies: a stream or storage value holds an
// added reference, which goes when the value is overwritten, deleted or the set goes. Names
// are kept apart from values, as in a property set's dictionary. Direct mode: Commit and Revert
// have nothing to do. For one thread at a time, as COM's apartments have it.

#include "platform/linux/com/ComObject.h"
#include "platform/linux/storage/PropValue.h"
#include "platform/linux/storage/StorageIds.h"

#include <map>
#include <optional>
#include <string>

namespace platform::layer {

class PropertySet final : public ComObject<win::IPropertyStorage> {
public:
    /// An empty set of the format format, which Stat reports.
    explicit PropertySet(const win::FMTID& format);

    /// Stores copies (PropVariantCopy) of the values specifiers name, VT_EMPTY for the ones the set
    /// lacks; S_FALSE when it lacks all. Specifiers name an id (PRSPEC_PROPID) or a name
    /// (PRSPEC_LPWSTR, compared without case). STG_E_INVALIDPOINTER, STG_E_INVALIDPARAMETER
    /// (another kind), or a failure of the copy (every output then VT_EMPTY).
    win::HRESULT STDMETHODCALLTYPE ReadMultiple(win::ULONG count, const win::PROPSPEC* specifiers,
                                                win::PROPVARIANT* values) override;
    /// Stores copies of the values, all or none. An id must be from PID_FIRST_USABLE to
    /// 0x7FFFFFFF; a name the set lacks is given the first free id from firstNameId on.
    /// STG_E_INVALIDPOINTER, STG_E_INVALIDPARAMETER (a kind, id, name or firstNameId out of
    /// bounds, or a value of a type PropVariantCopy does not know), STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE WriteMultiple(win::ULONG count, const win::PROPSPEC* specifiers,
                                                 const win::PROPVARIANT* values,
                                                 win::PROPID firstNameId) override;
    /// Removes the values specifiers name (names stay); missing ones are no error.
    win::HRESULT STDMETHODCALLTYPE DeleteMultiple(win::ULONG count,
                                                  const win::PROPSPEC* specifiers) override;
    /// Stores in names a task-memory copy of each id's name, or null; S_FALSE when none has
    /// one. STG_E_INVALIDPOINTER, STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE ReadPropertyNames(win::ULONG count, const win::PROPID* ids,
                                                     win::LPOLESTR* names) override;
    /// Names ids, all or none. STG_E_INVALIDPOINTER, STG_E_INVALIDPARAMETER (an id out of
    /// bounds, an empty name), STG_E_FILEALREADYEXISTS (a name another id has),
    /// STG_E_INSUFFICIENTMEMORY.
    win::HRESULT STDMETHODCALLTYPE WritePropertyNames(win::ULONG count, const win::PROPID* ids,
                                                      const win::LPOLESTR* names) override;
    win::HRESULT STDMETHODCALLTYPE DeletePropertyNames(win::ULONG count,
                                                       const win::PROPID* ids) override;
    win::HRESULT STDMETHODCALLTYPE Commit(win::DWORD flags) override;
    win::HRESULT STDMETHODCALLTYPE Revert() override;
    /// A snapshot of the values in id order: id, type and name (null for none), one per Next.
    win::HRESULT STDMETHODCALLTYPE Enum(win::IEnumSTATPROPSTG** properties) override;
    /// Keeps the times given (null ones stay) for Stat.
    win::HRESULT STDMETHODCALLTYPE SetTimes(const win::FILETIME* created,
                                            const win::FILETIME* accessed,
                                            const win::FILETIME* modified) override;
    win::HRESULT STDMETHODCALLTYPE SetClass(win::REFCLSID clsid) override;
    win::HRESULT STDMETHODCALLTYPE Stat(win::STATPROPSETSTG* stat) override;

private:
    // The id specifier names: nullopt when it names nothing here. Throws nothing.
    std::optional<win::PROPID> find(const win::PROPSPEC& specifier) const;
    std::optional<win::PROPID> findName(std::u16string_view name) const;

    std::map<win::PROPID, PropValue> values_;
    std::map<win::PROPID, std::u16string> names_;
    win::STATPROPSETSTG stat_{};
};

} // namespace platform::layer
