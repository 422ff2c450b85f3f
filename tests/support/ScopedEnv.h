// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One environment variable set (or removed) for a scope, and put back as it was afterwards.

#include <optional>
#include <string>

namespace test {

class ScopedEnv {
public:
    /// Sets name to value for the scope; a null value removes the variable.
    ScopedEnv(std::string name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

} // namespace test
