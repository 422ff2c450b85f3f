// SPDX-License-Identifier: GPL-2.0-or-later
#include "cd/CdFileSet.h"

#include "app/ContainerTexts.h"
#include "cd/BuildFailure.h"
#include "cd/JobStorage.h"
#include "cd/WidenAnsi.h"
#include "resfile/Catalogue.h"

using namespace win;

platform::ComPtr<IStorage> BuildFileSet() {
    platform::ComPtr<IStorage> storage = CreateTemporaryStorage(buildfailure::kCreatingTemp);
    for (int i = 0; i < catalogue::kCdFileMax; ++i) {
        const ResourceText name =
            ContainerText(static_cast<ResourceId>(catalogue::kCdFileNameFirst + i));
        if (!name || *name == '\0')
            break;
        const WideText wide = WidenAnsi(name.get());
        if (wide.empty())
            throw BuildFailure{buildfailure::kConvertingName};
        StoreEntry(storage.get(), wide.c_str(),
                   static_cast<ResourceId>(catalogue::kCdFileContentFirst + i));
    }
    return storage;
}
