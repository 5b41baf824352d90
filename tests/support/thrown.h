// The message of what a call throws, for the tests of error texts.
#pragma once

#include <exception>
#include <string>
#include <utility>

// What the call throws as an E, as its message; empty when it returns normally.
template <class E = std::exception, class Call>
std::string thrownMessage(Call&& call)
{
    try {
        std::forward<Call>(call)();
    } catch (const E& error) {
        return error.what();
    }
    return {};
}
