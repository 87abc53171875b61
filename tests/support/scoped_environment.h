// An environment variable of the test process set for one scope and put back after it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace testing_support {

class ScopedEnvironment {
public:
    // nullptr removes the variable for the scope.
    ScopedEnvironment(std::wstring name, const wchar_t* value) : name_(std::move(name)) {
        std::vector<wchar_t> buffer(32768);
        const DWORD length = GetEnvironmentVariableW(name_.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length > 0 && length < buffer.size()) saved_ = std::wstring(buffer.data(), length);
        Set(value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_.c_str(), saved_ ? saved_->c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    void Set(const wchar_t* value) { SetEnvironmentVariableW(name_.c_str(), value); }

private:
    std::wstring name_;
    std::optional<std::wstring> saved_;
};

}  // namespace testing_support
