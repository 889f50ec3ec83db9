#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// Walks the arguments of one command, splitting "--name=value", and keeps the first
// error: after it every step answers false, so a parse loop simply ends.
class ArgumentReader {
public:
    // Reads args from index first on; error receives the first fault and must outlive the reader.
    ArgumentReader(const std::vector<std::string>& args, std::size_t first, std::string& error)
        : m_args(args), m_next(first), m_error(error)
    {
    }

    // Steps to the next argument; false at the end or once an error is kept.
    bool Next();
    // An option ("-x", "--name") rather than a plain word ("read", "run.dat", "-").
    bool IsOption() const { return m_name.size() > 1 && m_name[0] == '-'; }
    // The option's name without its "=value", or the plain word.
    const std::string& Name() const { return m_name; }

    // The option's value: after "=", else the next argument unless that is an option.
    bool TakeText(std::string& value);
    // The value as a decimal whole number from least to most.
    bool TakeNumber(long long least, long long most, int& value);
    // For a switch: fails when it was given "=value".
    bool TakeNoValue();

    // Keeps message unless an error is already kept; always false.
    bool Fail(std::string message);
    // The error for an argument none of command's options took.
    void Reject(const char* command);

private:
    const std::vector<std::string>& m_args;
    std::size_t m_next;
    std::string& m_error;
    std::string m_name;
    std::optional<std::string> m_inlineValue;
};
