// An environment variable set for the life of one object, then put back as it was.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        saved_ = std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { saved_ ? setenv(name_, saved_->c_str(), 1) : unsetenv(name_); }
    ScopedEnv(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};
