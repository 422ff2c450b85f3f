// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The tool's subcommands. Each reports its own failures and returns the exit code.

#include "resfile/ResourceFile.h"

namespace tools {

/// Builds the container OUT from a manifest; OUT appears only when all went well.
int RunCreate(const char* outPath, const char* manifestPath);

/// Lists the entries of a container: identifier, kind, size, offset, and a text's beginning.
int RunList(const char* containerPath);

/// Writes the data of entry id to OUT; OUT appears only when all went well.
int RunExtract(const char* containerPath, ResourceId id, const char* outPath);

/// Checks a container against the catalogue and reports every problem found.
int RunCheck(const char* containerPath);

} // namespace tools
