// Texts whose elements nest many levels deep, one for each way of writing a
// level that a nesting count could get wrong, for the loaders' tests.
#pragma once

#include <string>
#include <vector>

struct DeepXmlKind {
    const char* name;
    std::string open;  // opens one level (and may hold markup that opens none)
    std::string close; // closes it again
};

inline std::vector<DeepXmlKind> DeepXmlKinds()
{
    return {
        {"plain names", "<x>", "</x>"},
        {"names beginning with byte 0x7F", "<\x7F>", "</\x7F>"},
        {"names beginning with bytes 0x80-0xFF", "<\x80\xFF>", "</\x80\xFF>"},
        {"end tags in quoted values of a declaration", "<d><?xml version='>' standalone='</d>'?>", "</d>"},
        {"end tags in a declaration written in capitals", "<e><?XML version=\">\" encoding=\"</e>\"?>",
         "</e>"},
        {"end tags in comments and CDATA", "<c><!-- </c> --><![CDATA[</c>]]>", "</c>"},
        {"markup in attribute values", "<a x='</a>' y=\"/>\">", "</a>"},
    };
}

// levels of the kind, one inside the other.
inline std::string DeepXml(const DeepXmlKind& kind, int levels)
{
    std::string text;
    for (int i = 0; i < levels; ++i)
        text += kind.open;
    for (int i = 0; i < levels; ++i)
        text += kind.close;
    return text;
}
