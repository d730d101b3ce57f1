// How deeply the elements of an XML text nest, found by a plain scan of the
// text before any parser sees it. The parser descends once per element
// level, so a document nested thousands deep (damaged or hostile) would run
// it out of stack; every loader refuses such a text as malformed.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

// Deeper documents than this are refused: the root element is level 1.
constexpr int kMaxXmlNesting = 256;

namespace xml_nesting_detail {

// The position just after the first occurrence of end at or after from, or
// the end of the text when it never comes.
inline size_t After(const char* text, size_t length, size_t from, const char* end)
{
    const size_t endLength = std::strlen(end);
    for (size_t i = from; i + endLength <= length; ++i)
        if (std::memcmp(text + i, end, endLength) == 0)
            return i + endLength;
    return length;
}

inline bool StartsWith(const char* text, size_t length, size_t at, const char* prefix)
{
    const size_t prefixLength = std::strlen(prefix);
    return at + prefixLength <= length && std::memcmp(text + at, prefix, prefixLength) == 0;
}

// An element's name begins with a letter, "_" or a byte of a multi-byte
// character.
inline bool StartsElement(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

// The position after the ">" that ends a start tag (or the end of the
// text). A quote opens a value only after "=", as for the parser.
inline size_t AfterStartTag(const char* text, size_t length, size_t from)
{
    char quote = 0;
    char lastMark = 0;
    for (size_t i = from; i < length; ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if ((c == '"' || c == '\'') && lastMark == '=') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            lastMark = c;
    }
    return length;
}

} // namespace xml_nesting_detail

// True when no element of the text lies deeper than limit levels. Comments,
// CDATA sections, declarations and quoted attribute values are passed over,
// so a "<" or ">" inside them counts for nothing. The text need not be well
// formed: the parser judges the rest.
inline bool XmlNestingWithin(const char* text, size_t length, int limit = kMaxXmlNesting)
{
    using namespace xml_nesting_detail;
    int depth = 0;
    size_t i = 0;
    while (i < length) {
        if (text[i] != '<') {
            ++i;
            continue;
        }
        if (StartsWith(text, length, i, "<!--")) {
            i = After(text, length, i + 4, "-->");
        } else if (StartsWith(text, length, i, "<![CDATA[")) {
            i = After(text, length, i + 9, "]]>");
        } else if (StartsWith(text, length, i, "</")) {
            if (depth > 0)
                --depth;
            i = After(text, length, i + 2, ">");
        } else if (!StartsElement(i + 1 < length ? text[i + 1] : '\0')) {
            i = After(text, length, i + 1, ">"); // a declaration or other markup
        } else {
            i = AfterStartTag(text, length, i + 1);
            if (text[i - 1] != '>' || text[i - 2] != '/') {
                if (++depth > limit)
                    return false;
            }
        }
    }
    return true;
}

inline bool XmlNestingWithin(const std::string& text, int limit = kMaxXmlNesting)
{
    return XmlNestingWithin(text.data(), text.size(), limit);
}
