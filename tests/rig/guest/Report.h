// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The runner's records on standard output (the guest's report port), one whole line each, from
// any thread.

#include <initializer_list>
#include <string>
#include <string_view>

namespace rig {

/// Writes keyword and the fields, already in their line form (bare words or Quote()), as one
/// line, and flushes it, so that the host sees it while the job still runs.
void Report(std::string_view keyword, std::initializer_list<std::string> fields);

} // namespace rig
