// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <utility>

// Why a reader or writer failed: a message for the user (native bytes, naming
// what it is about) and, for the project format, the line it was found on.
struct Failure
{
    std::string message;
    std::size_t line = 0; // counted from 1; 0 when it is not about a line
};

// What every reader and writer of the navigator gives back: a value, or the
// failure that kept it from being made.
template <typename T> class Result
{
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return m_value.has_value(); }
    const T &value() const { return *m_value; }
    T &value() { return *m_value; }
    const Failure &failure() const { return m_failure; }

private:
    std::optional<T> m_value;
    Failure m_failure;
};

// The value of a writer that has nothing to give back.
struct Done
{};
