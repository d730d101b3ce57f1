// How deeply TinyXML would nest the elements of a text, found before it
// parses the text. Its parser descends once per element level, so a
// document nested thousands deep (damaged or hostile) would run it out of
// stack; every loader refuses such a text as malformed.
//
// TinyXML also steps over a whole UTF-8 sequence at a time, by the length
// its first byte announces, before it looks at the bytes again: a text that
// ends inside a sequence sends it up to three bytes past the end. So no
// text is handed to it as it came: ParseXmlText parses a copy followed by
// NUL bytes enough for any step, and the scan reads the same copy.
//
// The scan walks the text exactly as the parser does, building nothing: it
// uses TinyXML's own reading steps (white space, names, end tags) and its
// own parsers for every node that cannot hold an element (declarations,
// comments, CDATA, text, unknown markup, attributes). So it agrees with the
// parser on where every element starts and ends, where the parser gives up,
// and on the encoding it reads in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <tinyxml.h>

// Deeper documents than this are refused: the root element is level 1.
constexpr int kMaxXmlNesting = 256;

namespace xml_nesting_detail {

// Derived only to reach TinyXML's reading steps; never made.
class Scan : public TiXmlBase {
public:
    // True when no element of what TiXmlDocument::Parse(text, 0, encoding)
    // builds lies deeper than limit. The scan itself descends at most
    // limit + 1 levels.
    static bool Within(const char* p, int limit, TiXmlEncoding encoding)
    {
        if (!p || !*p)
            return true;
        // A byte-order mark says UTF-8.
        const auto* u = reinterpret_cast<const unsigned char*>(p);
        if (encoding == TIXML_ENCODING_UNKNOWN && u[0] == 0xEF && u[1] == 0xBB && u[2] == 0xBF)
            encoding = TIXML_ENCODING_UTF8;
        p = SkipWhiteSpace(p, encoding);
        Walk walk{limit, false};
        while (p && *p) {
            const Kind kind = Identify(p, encoding);
            if (kind == Kind::None)
                break;
            if (kind == Kind::Element) {
                p = Element(p, encoding, walk, 1);
            } else if (kind == Kind::Declaration) {
                // The first declaration of the document tells the encoding
                // of the rest.
                TiXmlDeclaration declaration;
                p = declaration.Parse(p, nullptr, encoding);
                if (encoding == TIXML_ENCODING_UNKNOWN)
                    encoding = DeclaredEncoding(declaration.Encoding());
            } else {
                p = Leaf(kind, p, encoding);
            }
            if (walk.tooDeep)
                return false;
            p = SkipWhiteSpace(p, encoding);
        }
        return true;
    }

private:
    enum class Kind { None, Declaration, Comment, CData, Unknown, Element };

    struct Walk {
        int limit;
        bool tooDeep;
    };

    static TiXmlEncoding DeclaredEncoding(const char* name)
    {
        if (!*name || StringEqual(name, "UTF-8", true, TIXML_ENCODING_UNKNOWN) ||
            StringEqual(name, "UTF8", true, TIXML_ENCODING_UNKNOWN))
            return TIXML_ENCODING_UTF8;
        return TIXML_ENCODING_LEGACY;
    }

    // What kind of node the markup at p starts.
    static Kind Identify(const char* p, TiXmlEncoding encoding)
    {
        p = SkipWhiteSpace(p, encoding);
        if (!p || !*p || *p != '<')
            return Kind::None;
        if (StringEqual(p, "<?xml", true, encoding))
            return Kind::Declaration;
        if (StringEqual(p, "<!--", false, encoding))
            return Kind::Comment;
        if (StringEqual(p, "<![CDATA[", false, encoding))
            return Kind::CData;
        if (StringEqual(p, "<!", false, encoding))
            return Kind::Unknown;
        if (IsAlpha(static_cast<unsigned char>(p[1]), encoding) || p[1] == '_')
            return Kind::Element;
        return Kind::Unknown;
    }

    // A node that holds no element, read by TinyXML itself.
    static const char* Leaf(Kind kind, const char* p, TiXmlEncoding encoding)
    {
        switch (kind) {
        case Kind::Declaration: {
            TiXmlDeclaration declaration;
            return declaration.Parse(p, nullptr, encoding);
        }
        case Kind::Comment: {
            TiXmlComment comment;
            return comment.Parse(p, nullptr, encoding);
        }
        case Kind::CData: {
            TiXmlText text("");
            text.SetCDATA(true);
            return text.Parse(p, nullptr, encoding);
        }
        default: {
            TiXmlUnknown unknown;
            return unknown.Parse(p, nullptr, encoding);
        }
        }
    }

    // An element at level depth, from its start tag to its end tag: where
    // the parser goes on after it, or null where the parser gives up.
    static const char* Element(const char* p, TiXmlEncoding encoding, Walk& walk, int depth)
    {
        if (depth > walk.limit) {
            walk.tooDeep = true;
            return nullptr;
        }
        p = SkipWhiteSpace(p, encoding);
        if (!p || *p != '<')
            return nullptr;
        TIXML_STRING name;
        p = ReadName(SkipWhiteSpace(p + 1, encoding), &name, encoding);
        if (!p || !*p)
            return nullptr;
        const TIXML_STRING endTag = "</" + name;
        std::vector<TIXML_STRING> attributes;
        for (;;) {
            p = SkipWhiteSpace(p, encoding);
            if (!p || !*p)
                return nullptr;
            if (*p == '/')
                return p[1] == '>' ? p + 2 : nullptr;
            if (*p == '>') {
                p = Content(p + 1, encoding, walk, depth);
                if (!p || !*p || !StringEqual(p, endTag.c_str(), false, encoding))
                    return nullptr;
                p = SkipWhiteSpace(p + endTag.length(), encoding);
                return p && *p == '>' ? p + 1 : nullptr;
            }
            TiXmlAttribute attribute;
            p = attribute.Parse(p, nullptr, encoding);
            if (!p || !*p)
                return nullptr;
            for (const TIXML_STRING& seen : attributes) {
                if (seen == attribute.NameTStr())
                    return nullptr; // the parser refuses a second attribute of a name
            }
            attributes.push_back(attribute.NameTStr());
        }
    }

    // The content of an element at level depth, up to its end tag.
    static const char* Content(const char* p, TiXmlEncoding encoding, Walk& walk, int depth)
    {
        const char* withWhiteSpace = p;
        p = SkipWhiteSpace(p, encoding);
        while (p && *p) {
            if (*p != '<') {
                TiXmlText text("");
                p = text.Parse(IsWhiteSpaceCondensed() ? p : withWhiteSpace, nullptr, encoding);
            } else if (StringEqual(p, "</", false, encoding)) {
                return p;
            } else {
                const Kind kind = Identify(p, encoding);
                if (kind == Kind::None)
                    return nullptr;
                p = kind == Kind::Element ? Element(p, encoding, walk, depth + 1) : Leaf(kind, p, encoding);
            }
            withWhiteSpace = p;
            p = SkipWhiteSpace(p, encoding);
        }
        return p;
    }
};

} // namespace xml_nesting_detail

// NUL bytes after a text, beyond its terminator, so that no step of the
// parser or the scan reads past them: a UTF-8 sequence is at most four bytes.
constexpr size_t kXmlTextReadAhead = 4;

// The text as the parser reads it (up to its first NUL), followed by
// kXmlTextReadAhead NUL bytes.
inline std::string PaddedXmlText(std::string_view text)
{
    std::string padded(text.substr(0, text.find('\0')));
    padded.append(kXmlTextReadAhead, '\0');
    return padded;
}

// True when no element that TinyXML builds from the text (up to its first
// NUL, as the parser reads it) lies deeper than limit levels; encoding is
// the one given to the parser. The text need not be well formed: where the
// parser gives up, the scan stops too.
inline bool XmlNestingWithin(std::string_view text, int limit = kMaxXmlNesting,
                             TiXmlEncoding encoding = TIXML_ENCODING_UNKNOWN)
{
    return xml_nesting_detail::Scan::Within(PaddedXmlText(text).c_str(), limit, encoding);
}

// Parses the text (up to its first NUL) into doc, in the given encoding.
// False, nothing parsed, for a text nested deeper than limit levels; false
// for a parse error. Every read stays inside the text, whatever it holds.
inline bool ParseXmlText(std::string_view text, TiXmlDocument& doc, TiXmlEncoding encoding,
                         int limit = kMaxXmlNesting)
{
    const std::string padded = PaddedXmlText(text);
    if (!xml_nesting_detail::Scan::Within(padded.c_str(), limit, encoding))
        return false;
    doc.Parse(padded.c_str(), nullptr, encoding);
    return !doc.Error();
}
