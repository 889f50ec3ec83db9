#include "ArgumentReader.h"

#include <charconv>

bool ArgumentReader::Next()
{
    if (!m_error.empty() || m_next >= m_args.size())
        return false;
    const std::string& arg = m_args[m_next++];
    m_inlineValue.reset();
    m_name = arg;
    const std::size_t equals = arg.find('=');
    if (IsOption() && equals != std::string::npos) {
        m_name = arg.substr(0, equals);
        m_inlineValue = arg.substr(equals + 1);
    }
    return true;
}

bool ArgumentReader::TakeText(std::string& value)
{
    if (m_inlineValue) {
        value = *m_inlineValue;
        return true;
    }
    // "--port --baud 9600" forgot the port; taking "--baud" as one would hide that.
    if (m_next >= m_args.size() || m_args[m_next].rfind("--", 0) == 0)
        return Fail(m_name + " needs a value");
    value = m_args[m_next++];
    return true;
}

bool ArgumentReader::TakeNumber(long long least, long long most, int& value)
{
    std::string text;
    if (!TakeText(text))
        return false;
    long long number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, failure] = std::from_chars(text.data(), end, number);
    if (text.empty() || failure != std::errc() || stop != end || number < least || number > most)
        return Fail(m_name + ": '" + text + "' is not a whole number from " + std::to_string(least) + " to " +
                    std::to_string(most));
    value = int(number);
    return true;
}

bool ArgumentReader::TakeNoValue()
{
    return m_inlineValue ? Fail(m_name + " takes no value") : true;
}

bool ArgumentReader::Fail(std::string message)
{
    if (m_error.empty())
        m_error = std::move(message);
    return false;
}

void ArgumentReader::Reject(const char* command)
{
    Fail(IsOption() ? std::string("unknown option '") + m_name + "' for " + command
                    : "unexpected argument '" + m_name + "'");
}
