// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The built sample container, read and varied for the batch runs: its entries and texts, and a
// copy with one entry replaced.

#include "resfile/ResourceFile.h"
#include "support/ContainerBuilder.h"

#include <string>

namespace batchtest {

/// The sample container the build made (BOOTMEDIA_SAMPLE); "" when there is none.
std::string SamplePath();

/// Entry id of the container at path; empty when it has none.
test::Bytes EntryBytes(const std::string& path, ResourceId id);

/// Text id of the container at path, as the program reads it.
std::string EntryText(const std::string& path, ResourceId id);

/// The text before its first conversion: what any formatting of it starts with.
std::string TextBeforeArguments(const std::string& path, ResourceId id);

/// Every entry of the container at path, in its order, with entry id's data replaced by data.
test::ContainerBuilder ContainerWith(const std::string& path, ResourceId id,
                                     const test::Bytes& data);

} // namespace batchtest
