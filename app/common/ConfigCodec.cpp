#include "app/common/ConfigCodec.h"

#include "app/common/FileReplace.h"
#include "base/CriticalSection.h"
#include "base/Handle.h"

#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

namespace {

constexpr char kAlphabet[] = "987654321.-+zyxwvutsrqponmlkjihgfedcbaQWERTYUIOPASDFGHJKLZXCVBNM";
static_assert(sizeof(kAlphabet) == 65, "the alphabet has 64 symbols");
constexpr char kPad = '0';
constexpr int kValueCapacity = 260;

int SymbolIndex(char symbol) noexcept
{
    if (symbol == '\0')
        return -1;
    const char* at = std::strchr(kAlphabet, symbol);
    return at ? static_cast<int>(at - kAlphabet) : -1;
}

// The whole file; exists false, bytes empty, for a file that is not there
// in a folder that is. False when the file (or its folder) cannot be read.
bool ReadExistingFile(const CString& path, std::string& bytes, bool& exists)
{
    bytes.clear();
    exists = false;
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    exists = true;
    char block[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, block, sizeof(block), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        bytes.append(block, read);
    }
}

bool WriteNewFile(const CString& path, const std::string& bytes)
{
    CFileHandle file(
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The copy a rewrite edits, beside the file. A copy left by a rewrite that
// was stopped is never read: the next rewrite starts it anew.
CString EditCopyPath(const CString& path)
{
    return path + L".edit";
}

// Makes the entries in a copy of the file (absent when the file is), the
// system's own writer doing the writing, and reads the result back. The copy
// is gone afterwards.
bool EditInCopy(const CString& copy, const std::string& before, bool exists,
                const std::vector<ConfigEntry>& entries, std::string& after)
{
    // A copy a stopped write left, even a read-only one, never stands in
    // the way.
    ClearLeftover(copy);
    bool edited = !exists || WriteNewFile(copy, before);
    for (const ConfigEntry& entry : entries) {
        if (!edited)
            break;
        edited = WritePrivateProfileStringW(entry.section, entry.key, entry.value, copy) != FALSE;
    }
    // Let go of any copy the system keeps of the file, so that the next
    // rewrite reads the new file from the disk.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy);
    bool readBack = false;
    edited = edited && ReadExistingFile(copy, after, readBack) && readBack;
    DeleteFileW(copy);
    return edited;
}

} // namespace

int EncodeConfigBytes(const unsigned char* bytes, int length, std::string& out)
{
    out.clear();
    if (length <= 0)
        return 0;
    try {
        out.reserve(static_cast<size_t>(static_cast<unsigned long long>(length) * 4 / 3 + 4));
    } catch (const std::bad_alloc&) {
        return -1;
    } catch (const std::length_error&) {
        return -1;
    }
    for (int i = 0; i < length; i += 3) {
        const int inGroup = length - i < 3 ? length - i : 3;
        unsigned long value = static_cast<unsigned long>(bytes[i]) << 16;
        if (inGroup > 1)
            value |= static_cast<unsigned long>(bytes[i + 1]) << 8;
        if (inGroup > 2)
            value |= bytes[i + 2];
        out += kAlphabet[(value >> 18) & 0x3F];
        out += kAlphabet[(value >> 12) & 0x3F];
        out += inGroup > 1 ? kAlphabet[(value >> 6) & 0x3F] : kPad;
        out += inGroup > 2 ? kAlphabet[value & 0x3F] : kPad;
    }
    return static_cast<int>(out.size());
}

int DecodeConfigBytes(const char* symbols, unsigned char* out)
{
    int written = 0;
    for (const char* group = symbols;; group += 4) {
        if (*group != kPad && SymbolIndex(*group) < 0)
            return written;
        if (group[1] == '\0' || group[2] == '\0' || group[3] == '\0')
            return -1;
        unsigned long value = 0;
        int pads = 0;
        for (int k = 0; k < 4; ++k) {
            value <<= 6;
            if (group[k] == kPad) {
                ++pads;
                continue;
            }
            const int index = SymbolIndex(group[k]);
            // A symbol after a pad, or a character outside the alphabet,
            // makes the group malformed.
            if (pads > 0 || index < 0)
                return -1;
            value |= static_cast<unsigned long>(index);
        }
        if (pads > 2)
            return -1;
        out[written++] = static_cast<unsigned char>(value >> 16);
        if (pads <= 1)
            out[written++] = static_cast<unsigned char>(value >> 8);
        if (pads == 0)
            out[written++] = static_cast<unsigned char>(value);
    }
}

int EncodeConfigText(const CString& text, CString& out)
{
    const std::string ansi = text.ToAnsi();
    std::string symbols;
    const int count = EncodeConfigBytes(reinterpret_cast<const unsigned char*>(ansi.c_str()),
                                        static_cast<int>(std::strlen(ansi.c_str())), symbols);
    out = CString::FromAnsi(symbols.c_str());
    return count;
}

int DecodeConfigText(const CString& text, CString& out)
{
    const std::string symbols = text.ToAnsi();
    std::vector<unsigned char> bytes(2 * static_cast<size_t>(text.GetLength()) + 2, 0);
    const int result = DecodeConfigBytes(symbols.c_str(), bytes.data());
    out = CString::FromAnsi(reinterpret_cast<const char*>(bytes.data()));
    return result;
}

int WriteConfigValue(CString section, CString key, CString value, CString file)
{
    return WriteConfigValues({ConfigEntry{section, key, value}}, file);
}

bool ClearStaleConfigCopies(const CString& file)
{
    const bool copyGone = ClearLeftover(EditCopyPath(file));
    return ClearStaleReplacement(file) && copyGone;
}

int WriteConfigValues(const std::vector<ConfigEntry>& entries, const CString& file)
{
    std::vector<ConfigEntry> encoded;
    for (const ConfigEntry& entry : entries) {
        ConfigEntry scrambled{entry.section, CString(), CString()};
        if (EncodeConfigText(entry.key, scrambled.key) <= 0 ||
            EncodeConfigText(entry.value, scrambled.value) <= 0)
            return 0;
        encoded.push_back(scrambled);
    }
    if (encoded.empty())
        return 0;

    // One rewrite of a settings file at a time in this process: each starts
    // from the file the one before it left.
    static CCriticalSection rewrites;
    CCriticalSectionLock lock(rewrites);
    std::string before;
    bool exists = false;
    if (!ReadExistingFile(file, before, exists))
        return 0;
    const CString copy = EditCopyPath(file);
    std::string after;
    if (!EditInCopy(copy, before, exists, encoded, after))
        return 0;
    if (exists && after == before)
        return 1;
    return ReplaceFileBytes(file, after) ? 1 : 0;
}

int ReadConfigValue(const CString& section, const CString& key, const CString& file,
                    const CString& defaultValue, DWORD size, CString& out)
{
    CString encodedKey;
    if (EncodeConfigText(key, encodedKey) <= 0)
        return 0;
    wchar_t buffer[kValueCapacity] = {};
    if (size > kValueCapacity)
        size = kValueCapacity;
    if (GetPrivateProfileStringW(section, encodedKey, defaultValue, buffer, size, file) == 0)
        return 0;
    if (defaultValue.Compare(buffer) == 0) {
        out = defaultValue;
        return 1;
    }
    return DecodeConfigText(buffer, out) == 0 ? 0 : 1;
}
