// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A storage that shows streams under names a compound file cannot hold (longer than 31 units,
// with ':' or '!', broken surrogates), and folders: AddData takes any storage, and must judge
// the names a foreign one shows. The bytes come from streams of a real temporary storage.

#include "JolietTestbed.h"

namespace disctest {

/// A storage whose elements are the files, shown under their names in this order, each
/// opening a stream that holds its bytes; and a folder of each name in folders.
platform::ComPtr<win::IStorage> StorageShowing(const std::vector<StreamFile>& files,
                                               const std::vector<std::u16string>& folders = {});

} // namespace disctest
