// A scope guard: runs a clean-up when the scope that holds it is left, whether by
// return, by break or by an exception, so a begin/end pair cannot come apart.
#pragma once

#include <utility>

template <typename CleanUp>
class ScopeGuard {
public:
    explicit ScopeGuard(CleanUp cleanUp) : cleanUp_(std::move(cleanUp)) {}
    ~ScopeGuard() { cleanUp_(); }
    ScopeGuard(const ScopeGuard&) = delete;
    ScopeGuard& operator=(const ScopeGuard&) = delete;

private:
    CleanUp cleanUp_;
};
