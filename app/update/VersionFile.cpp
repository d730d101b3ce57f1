#include "app/update/VersionFile.h"

#include "app/common/TextUtils.h"

#include <vector>

namespace {

constexpr int kFieldCount = 5;

// Splits "name=value" at its first "="; false without one.
bool SplitPair(const CString& field, CString& name, CString& value)
{
    const int at = field.Find(L'=');
    if (at < 0)
        return false;
    name = field.Left(at);
    value = field.Mid(at + 1);
    return true;
}

bool IsLineBreak(wchar_t ch)
{
    return ch == L'\r' || ch == L'\n';
}

// A field without the line breaks around it: the file may end with one, or
// be written one field to a line.
CString WithoutLineBreaks(const CString& field)
{
    int start = 0;
    int end = field.GetLength();
    while (start < end && IsLineBreak(field[start]))
        ++start;
    while (end > start && IsLineBreak(field[end - 1]))
        --end;
    return field.Mid(start, end - start);
}

} // namespace

bool ParseVersionFile(const CString& reply, VersionFile& out)
{
    out = VersionFile();
    if (reply.IsEmpty())
        return false;
    std::vector<CString> fields;
    SplitString(reply, L" | ", fields, 0, L"");
    if (fields.empty() || fields[0].Find(L"success") < 0 || fields.size() < kFieldCount)
        return false;

    struct Slot {
        const wchar_t* name;
        bool VersionFile::*present;
        CString VersionFile::*value;
    };
    const Slot slots[kFieldCount - 1] = {
        {L"main_version", &VersionFile::hasMainVersion, &VersionFile::mainVersion},
        {L"dll_version", &VersionFile::hasDllVersion, &VersionFile::dllVersion},
        {L"main_md5", &VersionFile::hasMainMd5, &VersionFile::mainMd5},
        {L"dll_md5", &VersionFile::hasDllMd5, &VersionFile::dllMd5},
    };
    VersionFile parsed;
    for (int i = 0; i < kFieldCount - 1; ++i) {
        CString name, value;
        if (!SplitPair(WithoutLineBreaks(fields[i + 1]), name, value))
            return false;
        // Names are compared exactly; a field under another name is ignored.
        if (name == slots[i].name) {
            parsed.*slots[i].present = true;
            parsed.*slots[i].value = value;
        }
    }
    out = parsed;
    return true;
}
