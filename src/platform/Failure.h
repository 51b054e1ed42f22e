// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

// The core reports an expected failure as a value that carries the user's message; the caller
// shows it once through the program's message path. The core never shows anything itself.
struct Failure {
    std::string message;
};

using MaybeFailure = std::optional<Failure>;

// Either a result or the failure that prevented it.
template <class T> class Outcome {
public:
    Outcome(T value) : m_data(std::move(value)) {}
    Outcome(Failure failure) : m_data(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }

    const T& value() const& { return std::get<T>(m_data); }
    T&& value() && { return std::get<T>(std::move(m_data)); }
    const Failure& failure() const { return std::get<Failure>(m_data); }

private:
    std::variant<T, Failure> m_data;
};
