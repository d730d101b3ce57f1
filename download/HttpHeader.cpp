#include "download/HttpHeader.h"

#include <climits>
#include <cstring>

namespace {

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t';
}

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

char Lower(char ch)
{
    return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
}

// Where the value of a header field starts (past the colon and blanks), or
// npos; the name is matched without regard to case at the start of a line.
size_t FindFieldValue(const std::string& header, const char* name)
{
    const size_t nameLength = strlen(name);
    for (size_t line = header.find("\r\n"); line != std::string::npos; line = header.find("\r\n", line + 2)) {
        const size_t start = line + 2;
        if (header.size() - start < nameLength)
            break;
        bool same = true;
        for (size_t i = 0; i < nameLength && same; ++i)
            same = Lower(header[start + i]) == Lower(name[i]);
        if (!same)
            continue;
        size_t value = start + nameLength;
        while (value < header.size() && IsBlank(header[value]))
            ++value;
        return value;
    }
    return std::string::npos;
}

} // namespace

ResponseHeader ReadHeader(CSocket& socket)
{
    ResponseHeader header;
    header.text.reserve(kMaxHeaderBytes);
    char ch = 0;
    while (header.text.size() < static_cast<size_t>(kMaxHeaderBytes)) {
        if (socket.Receive(&ch, 1) != 1)
            break;
        header.text += ch;
        const size_t n = header.text.size();
        if (n >= 4 && header.text.compare(n - 4, 4, "\r\n\r\n") == 0) {
            header.complete = true;
            break;
        }
    }
    return header;
}

int ParseStatus(const std::string& header)
{
    if (header.size() < 12 || !IsDigit(header[9]) || !IsDigit(header[10]) || !IsDigit(header[11]))
        return -1;
    return (header[9] - '0') * 100 + (header[10] - '0') * 10 + (header[11] - '0');
}

int ParseContentLength(const std::string& header)
{
    const char* const name = "\r\nContent-Length:";
    size_t pos = header.find(name);
    if (pos == std::string::npos)
        return 0;
    pos += strlen(name);
    while (pos < header.size() && IsBlank(header[pos]))
        ++pos;
    bool negative = false;
    if (pos < header.size() && (header[pos] == '-' || header[pos] == '+'))
        negative = header[pos++] == '-';
    long long value = 0;
    for (; pos < header.size() && IsDigit(header[pos]); ++pos) {
        value = value * 10 + (header[pos] - '0');
        if (value > INT_MAX)
            return 0;
    }
    return static_cast<int>(negative ? -value : value);
}

ContentRange ParseContentRange(const std::string& header)
{
    size_t pos = FindFieldValue(header, "Content-Range:");
    if (pos == std::string::npos || header.size() - pos < 6)
        return {};
    for (const char* unit = "bytes"; *unit; ++unit, ++pos) {
        if (Lower(header[pos]) != *unit)
            return {};
    }
    if (!IsBlank(header[pos]))
        return {};
    while (pos < header.size() && IsBlank(header[pos]))
        ++pos;
    // A decimal number of at most 31 bits at pos, or -1.
    auto readNumber = [&header, &pos]() {
        long long value = -1;
        for (; pos < header.size() && IsDigit(header[pos]); ++pos) {
            value = (value < 0 ? 0 : value * 10) + (header[pos] - '0');
            if (value > INT_MAX)
                return -1LL;
        }
        return value;
    };
    ContentRange range;
    range.first = readNumber();
    if (range.first < 0 || pos >= header.size() || header[pos++] != '-')
        return {};
    range.last = readNumber();
    if (range.last < range.first || pos >= header.size() || header[pos++] != '/')
        return {};
    if (pos < header.size() && header[pos] == '*')
        return range;
    range.total = readNumber();
    if (range.total <= range.last)
        return {};
    return range;
}
