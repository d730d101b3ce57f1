#include "tools/extract/CommandLine.h"

namespace {

bool IsBlank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

bool IsAllFilesMask(const CString& word)
{
    return word == L"*.*" || word == L"*";
}

// Takes one "-..." word; false for a switch this program does not know.
bool TakeSwitch(const CString& word, ExtractCommand& command)
{
    const wchar_t name = word.GetLength() > 1 ? static_cast<wchar_t>(towlower(word[1])) : 0;
    const CString value = word.Mid(2);
    switch (name) {
    case L'o':
        command.folder = value;
        return !value.IsEmpty();
    case L'p':
        command.password = value;
        return true;
    case L'r':
    case L'y':
        // Every entry is extracted and every file overwritten anyway.
        return value.IsEmpty();
    default:
        return false;
    }
}

} // namespace

std::vector<CString> SplitCommandLine(const wchar_t* commandLine)
{
    std::vector<CString> words;
    CString word;
    bool inWord = false;
    bool quoted = false;
    for (const wchar_t* p = commandLine; *p; ++p) {
        if (*p == L'"') {
            quoted = !quoted;
            inWord = true;
        } else if (IsBlank(*p) && !quoted) {
            if (inWord)
                words.push_back(word);
            word.Empty();
            inWord = false;
        } else {
            word += *p;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

std::optional<ExtractCommand> ParseExtractCommand(const std::vector<CString>& words)
{
    ExtractCommand command;
    bool haveCommand = false;
    bool haveArchive = false;
    for (size_t i = 1; i < words.size(); ++i) {
        const CString& word = words[i];
        if (word.GetLength() > 0 && word[0] == L'-') {
            if (!TakeSwitch(word, command))
                return std::nullopt;
        } else if (!haveCommand) {
            if (word.CompareNoCase(L"x") != 0)
                return std::nullopt;
            haveCommand = true;
        } else if (!haveArchive) {
            command.archive = word;
            haveArchive = !word.IsEmpty();
            if (!haveArchive)
                return std::nullopt;
        } else if (!IsAllFilesMask(word)) {
            return std::nullopt;
        }
    }
    if (!haveArchive || command.folder.IsEmpty())
        return std::nullopt;
    return command;
}
