#include "fieldreader.h"

#include <charconv>
#include <cmath>

namespace vesk {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

bool FieldReader::atLineEnd() const
{
    return m_pos < m_text.size() && (m_text[m_pos] == '\r' || m_text[m_pos] == '\n');
}

// Consumes one comma, or one line end in any of its three forms.
void FieldReader::consumeSeparator()
{
    if (m_pos >= m_text.size())
        return;
    const char c = m_text[m_pos++];
    if (c == '\r' && m_pos < m_text.size() && m_text[m_pos] == '\n')
        ++m_pos;
}

std::optional<std::string> FieldReader::next()
{
    while (m_pos < m_text.size() && isBlank(m_text[m_pos]))
        ++m_pos;
    if (m_pos >= m_text.size())
        return std::nullopt;

    std::string field;
    if (m_text[m_pos] == '"') {
        ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != '"' && !atLineEnd())
            field += m_text[m_pos++];
        if (m_pos < m_text.size() && m_text[m_pos] == '"')
            ++m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd())
            ++m_pos;
    } else {
        const size_t start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] != ',' && !atLineEnd())
            ++m_pos;
        field.assign(m_text.substr(start, m_pos - start));
    }
    consumeSeparator();
    return field;
}

std::optional<long long> parseWholeNumber(std::string_view field)
{
    std::string_view s = trimBlanks(field);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseNumber(std::string_view field)
{
    std::string_view s = trimBlanks(field);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    if (s.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::fixed);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::string> encodeField(const std::string &value)
{
    if (value.find_first_of("\r\n") != std::string::npos)
        return std::nullopt;
    const bool needsQuotes
        = value.find(',') != std::string::npos || (!value.empty() && (isBlank(value.front()) || value.front() == '"'));
    if (!needsQuotes)
        return value;
    if (value.find('"') != std::string::npos)
        return std::nullopt;
    return '"' + value + '"';
}

} // namespace vesk
