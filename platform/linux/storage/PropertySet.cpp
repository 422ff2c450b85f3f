// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/linux/storage/PropertySet.h"

#include "platform/linux/com/Enumerator.h"
#include "platform/linux/storage/ElementName.h"
#include "platform/linux/storage/OutOfMemory.h"
#include "platform/linux/storage/TaskMemory.h"

#include <algorithm>
#include <memory>
#include <set>
#include <vector>

namespace platform::layer {

using namespace win;

namespace {

// Ids from 0x80000000 on are reserved for the set's own behaviour.
constexpr PROPID kLastUsableId = 0x7FFFFFFF;

bool IsUsableId(PROPID id) {
    return id >= PID_FIRST_USABLE && id <= kLastUsableId;
}

bool IsName(const OLECHAR* name) {
    return name != nullptr && *name != 0;
}

bool AreWellFormed(ULONG count, const PROPSPEC* specifiers) {
    return std::all_of(specifiers, specifiers + count, [](const PROPSPEC& specifier) {
        return specifier.ulKind == PRSPEC_PROPID ||
               (specifier.ulKind == PRSPEC_LPWSTR && IsName(specifier.lpwstr));
    });
}

std::optional<PROPID> FindIn(const std::map<PROPID, std::u16string>& names,
                             std::u16string_view name) {
    const auto found = std::find_if(names.begin(), names.end(), [&](const auto& entry) {
        return CompareNames(entry.second, name) == 0;
    });
    return found == names.end() ? std::nullopt : std::optional<PROPID>(found->first);
}

struct PropertyInfo {
    PROPID id;
    VARTYPE type;
    std::optional<std::u16string> name;
};

// The enumerator has no way to report a failure: a name that finds no memory comes as null.
STATPROPSTG DeliverProperty(const PropertyInfo& property) {
    return {property.name ? CopyToTaskMemory(*property.name) : nullptr, property.id, property.type};
}

using PropertyEnumerator = Enumerator<IEnumSTATPROPSTG, PropertyInfo, STATPROPSTG, DeliverProperty>;

} // namespace

PropertySet::PropertySet(const FMTID& format) {
    stat_.fmtid = format;
    stat_.grfFlags = PROPSETFLAG_DEFAULT;
}

std::optional<PROPID> PropertySet::findName(std::u16string_view name) const {
    return FindIn(names_, name);
}

std::optional<PROPID> PropertySet::find(const PROPSPEC& specifier) const {
    const std::optional<PROPID> id = specifier.ulKind == PRSPEC_PROPID
                                         ? std::optional<PROPID>(specifier.propid)
                                         : findName(specifier.lpwstr);
    return id && values_.contains(*id) ? id : std::nullopt;
}

HRESULT PropertySet::ReadMultiple(ULONG count, const PROPSPEC* specifiers, PROPVARIANT* values) {
    if (count > 0 && (specifiers == nullptr || values == nullptr))
        return STG_E_INVALIDPOINTER;
    if (!AreWellFormed(count, specifiers))
        return STG_E_INVALIDPARAMETER;
    std::for_each(values, values + count, [](PROPVARIANT& value) { PropVariantInit(&value); });
    bool foundAny = false;
    for (ULONG at = 0; at < count; ++at) {
        const std::optional<PROPID> id = find(specifiers[at]);
        if (!id)
            continue;
        const HRESULT copied = PropVariantCopy(&values[at], &values_.at(*id).get());
        if (FAILED(copied)) {
            std::for_each(values, values + at,
                          [](PROPVARIANT& value) { PropVariantClear(&value); });
            return copied;
        }
        foundAny = true;
    }
    return foundAny ? S_OK : S_FALSE;
}

HRESULT PropertySet::WriteMultiple(ULONG count, const PROPSPEC* specifiers,
                                   const PROPVARIANT* values, PROPID firstNameId) {
    if (count > 0 && (specifiers == nullptr || values == nullptr))
        return STG_E_INVALIDPOINTER;
    if (!IsUsableId(firstNameId) || !AreWellFormed(count, specifiers))
        return STG_E_INVALIDPARAMETER;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        // Everything is checked and copied aside first, then moved in without allocating.
        std::map<PROPID, PropValue> staged;
        std::map<PROPID, std::u16string> newNames;
        // A new name must not take an id that this very call writes by id.
        std::set<PROPID> byId;
        for (ULONG at = 0; at < count; ++at) {
            if (specifiers[at].ulKind == PRSPEC_PROPID)
                byId.insert(specifiers[at].propid);
        }
        const auto taken = [&](PROPID id) {
            return values_.contains(id) || names_.contains(id) || byId.contains(id) ||
                   newNames.contains(id);
        };
        PROPID nextFree = firstNameId;
        for (ULONG at = 0; at < count; ++at) {
            PROPID id = 0;
            if (specifiers[at].ulKind == PRSPEC_LPWSTR) {
                const std::u16string_view name = specifiers[at].lpwstr;
                std::optional<PROPID> named = findName(name);
                if (!named)
                    named = FindIn(newNames, name);
                if (!named) {
                    while (nextFree < kLastUsableId && taken(nextFree))
                        ++nextFree;
                    if (taken(nextFree))
                        return STG_E_INVALIDPARAMETER;
                    named = nextFree;
                    newNames.emplace(nextFree, name);
                }
                id = *named;
            } else {
                id = specifiers[at].propid;
                if (!IsUsableId(id))
                    return STG_E_INVALIDPARAMETER;
            }
            PropValue copy;
            const HRESULT copied = copy.copyFrom(values[at]);
            if (FAILED(copied))
                return copied;
            staged.insert_or_assign(id, std::move(copy));
        }
        for (const auto& [id, value] : staged)
            values_.erase(id);
        values_.merge(staged);
        names_.merge(newNames);
        return S_OK;
    });
}

HRESULT PropertySet::DeleteMultiple(ULONG count, const PROPSPEC* specifiers) {
    if (count > 0 && specifiers == nullptr)
        return STG_E_INVALIDPOINTER;
    if (!AreWellFormed(count, specifiers))
        return STG_E_INVALIDPARAMETER;
    for (ULONG at = 0; at < count; ++at) {
        if (const std::optional<PROPID> id = find(specifiers[at]))
            values_.erase(*id);
    }
    return S_OK;
}

HRESULT PropertySet::ReadPropertyNames(ULONG count, const PROPID* ids, LPOLESTR* names) {
    if (count > 0 && (ids == nullptr || names == nullptr))
        return STG_E_INVALIDPOINTER;
    std::fill(names, names + count, nullptr);
    bool foundAny = false;
    for (ULONG at = 0; at < count; ++at) {
        const auto found = names_.find(ids[at]);
        if (found == names_.end())
            continue;
        names[at] = CopyToTaskMemory(found->second);
        if (names[at] == nullptr) {
            std::for_each(names, names + at, CoTaskMemFree);
            std::fill(names, names + at, nullptr);
            return STG_E_INSUFFICIENTMEMORY;
        }
        foundAny = true;
    }
    return foundAny ? S_OK : S_FALSE;
}

HRESULT PropertySet::WritePropertyNames(ULONG count, const PROPID* ids, const LPOLESTR* names) {
    if (count > 0 && (ids == nullptr || names == nullptr))
        return STG_E_INVALIDPOINTER;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        std::map<PROPID, std::u16string> staged;
        for (ULONG at = 0; at < count; ++at) {
            if (!IsUsableId(ids[at]) || !IsName(names[at]))
                return STG_E_INVALIDPARAMETER;
            const std::u16string_view name = names[at];
            for (const std::optional<PROPID> holder : {findName(name), FindIn(staged, name)}) {
                if (holder && *holder != ids[at])
                    return STG_E_FILEALREADYEXISTS;
            }
            staged.insert_or_assign(ids[at], std::u16string(name));
        }
        for (const auto& [id, name] : staged)
            names_.erase(id);
        names_.merge(staged);
        return S_OK;
    });
}

HRESULT PropertySet::DeletePropertyNames(ULONG count, const PROPID* ids) {
    if (count > 0 && ids == nullptr)
        return STG_E_INVALIDPOINTER;
    for (ULONG at = 0; at < count; ++at)
        names_.erase(ids[at]);
    return S_OK;
}

HRESULT PropertySet::Commit(DWORD) {
    return S_OK;
}

HRESULT PropertySet::Revert() {
    return S_OK;
}

HRESULT PropertySet::Enum(IEnumSTATPROPSTG** properties) {
    if (properties == nullptr)
        return STG_E_INVALIDPOINTER;
    *properties = nullptr;
    return ReportOutOfMemory(STG_E_INSUFFICIENTMEMORY, [&] {
        auto listed = std::make_shared<std::vector<PropertyInfo>>();
        for (const auto& [id, value] : values_) {
            const auto named = names_.find(id);
            listed->push_back({id, value.get().vt,
                               named == names_.end()
                                   ? std::nullopt
                                   : std::optional<std::u16string>(named->second)});
        }
        *properties = MakeComObject<PropertyEnumerator>(std::move(listed)).detach();
        return S_OK;
    });
}

HRESULT PropertySet::SetTimes(const FILETIME* created, const FILETIME* accessed,
                              const FILETIME* modified) {
    if (created != nullptr)
        stat_.ctime = *created;
    if (accessed != nullptr)
        stat_.atime = *accessed;
    if (modified != nullptr)
        stat_.mtime = *modified;
    return S_OK;
}

HRESULT PropertySet::SetClass(REFCLSID clsid) {
    stat_.clsid = clsid;
    return S_OK;
}

HRESULT PropertySet::Stat(STATPROPSETSTG* stat) {
    if (stat == nullptr)
        return STG_E_INVALIDPOINTER;
    *stat = stat_;
    return S_OK;
}

} // namespace platform::layer
