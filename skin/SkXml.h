// Parsing the skin library's XML texts.
#pragma once

#include <string>
#include <string_view>

#include <tinyxml.h>

// Parses a UTF-8 text (with or without a byte-order mark) into doc. False on
// a parse error, and for a text nested deeper than kMaxXmlNesting levels,
// which is never parsed. The text ends at its first NUL or at its end,
// inside a UTF-8 sequence or not: nothing past it is read.
bool ParseSkinXml(std::string_view utf8, TiXmlDocument& doc);

// The document's first child element, skipping declarations and comments;
// null when the document has none.
const TiXmlElement* RootElement(const TiXmlDocument& doc);

// True when element is not null and its name is exactly name.
bool HasName(const TiXmlElement* element, const char* name);
