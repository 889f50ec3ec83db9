#pragma once
#include <QString>

#include <optional>
#include <utility>

// Outcome of reading resource data: the value, or the reason the data was rejected,
// captured where the problem was found (line, field).
template <typename T>
class ParseResult {
public:
    ParseResult(T value) : m_value(std::move(value)) {}
    static ParseResult failure(QString reason)
    {
        ParseResult result;
        result.m_error = std::move(reason);
        return result;
    }

    explicit operator bool() const { return m_value.has_value(); }
    // The value; only valid when the result is true.
    const T& operator*() const { return *m_value; }
    const T* operator->() const { return &*m_value; }
    T&& take() { return std::move(*m_value); }
    // Where and why the data was rejected; empty on success.
    const QString& error() const { return m_error; }

private:
    ParseResult() = default;
    std::optional<T> m_value;
    QString m_error;
};
