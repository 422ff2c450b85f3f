// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A container as a translation would bring it: the sample container with every text of the
// catalogue in German, which runs about a third longer than the sample's English, with long
// compound words. The dialog must show such texts whole. Texts in Windows-1252.

#include "support/ContainerBuilder.h"

#include <map>
#include <string>

namespace test {

using Texts = std::map<ResourceId, std::string>;

/// Every text and format of the catalogue (not the CD file names), German, each longer than the
/// sample container's.
const Texts& GermanLengthTexts();

/// Every entry of the container at path, by identifier; empty (and a test failure) when it cannot
/// be read.
std::map<ResourceId, Bytes> ContainerEntries(const std::string& path);

/// A container of entries with the texts of texts in place of theirs.
ContainerBuilder ContainerWithTexts(const std::map<ResourceId, Bytes>& entries, const Texts& texts);

} // namespace test
