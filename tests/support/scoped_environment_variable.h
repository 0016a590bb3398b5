// An environment variable set for the length of a test, put back however the test ends.
#pragma once

#include <cstdlib>
#include <string>

// Sets `name` to `value`, or leaves it as it is for a null value; the destructor puts back what
// was there before: the old value, or no variable at all.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const char* value) : name_(name) {
        const char* previous = std::getenv(name);
        had_ = previous != nullptr;
        previous_ = had_ ? previous : "";
        if (value != nullptr) {
            setenv(name, value, 1);
        }
    }
    ~ScopedEnvironmentVariable() {
        if (had_) {
            setenv(name_.c_str(), previous_.c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    std::string name_;
    bool had_;
    std::string previous_;
};
