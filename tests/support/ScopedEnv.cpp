// SPDX-License-Identifier: GPL-2.0-or-later
#include "support/ScopedEnv.h"

#include <cstdlib>
#include <utility>

namespace test {
namespace {

void Put(const std::string& name, const char* value) {
    if (value != nullptr)
        setenv(name.c_str(), value, 1);
    else
        unsetenv(name.c_str());
}

} // namespace

ScopedEnv::ScopedEnv(std::string name, const char* value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str()))
        saved_ = old;
    Put(name_, value);
}

ScopedEnv::~ScopedEnv() {
    Put(name_, saved_ ? saved_->c_str() : nullptr);
}

} // namespace test
