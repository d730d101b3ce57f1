#include "app/common/ProgramImage.h"

#include "base/Handle.h"

#include <vector>

namespace {

#if defined(__x86_64__) || defined(_M_X64)
constexpr WORD kMachine = IMAGE_FILE_MACHINE_AMD64;
constexpr WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR64_MAGIC;
#else
constexpr WORD kMachine = IMAGE_FILE_MACHINE_I386;
constexpr WORD kOptionalMagic = IMAGE_NT_OPTIONAL_HDR32_MAGIC;
#endif
static_assert(sizeof(IMAGE_NT_HEADERS) == 4 + sizeof(IMAGE_FILE_HEADER) + sizeof(IMAGE_OPTIONAL_HEADER),
              "the headers of this build's machine");

// Far beyond any program of ours; a bigger file is not read into memory.
constexpr LONGLONG kLargestImage = 256LL * 1024 * 1024;

bool ReadWholeFile(const CString& path, std::vector<unsigned char>& bytes)
{
    CFileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart > kLargestImage)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == bytes.size();
}

// The headers and the section table as the loader reads them.
bool HeadersHold(const std::vector<unsigned char>& bytes, ProgramImageKind kind)
{
    const ULONGLONG size = bytes.size();
    if (size < sizeof(IMAGE_DOS_HEADER))
        return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < static_cast<LONG>(sizeof(IMAGE_DOS_HEADER)))
        return false;
    const ULONGLONG ntAt = static_cast<ULONGLONG>(dos->e_lfanew);
    if (ntAt + sizeof(IMAGE_NT_HEADERS) > size)
        return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(bytes.data() + ntAt);
    const IMAGE_FILE_HEADER& header = nt->FileHeader;
    if (nt->Signature != IMAGE_NT_SIGNATURE || header.Machine != kMachine ||
        nt->OptionalHeader.Magic != kOptionalMagic ||
        header.SizeOfOptionalHeader < sizeof(IMAGE_OPTIONAL_HEADER) || header.NumberOfSections == 0 ||
        !(header.Characteristics & IMAGE_FILE_EXECUTABLE_IMAGE))
        return false;
    const bool library = (header.Characteristics & IMAGE_FILE_DLL) != 0;
    if (library != (kind == ProgramImageKind::Library))
        return false;
    if (nt->OptionalHeader.SizeOfHeaders > size)
        return false;
    const ULONGLONG tableAt = ntAt + 4 + sizeof(IMAGE_FILE_HEADER) + header.SizeOfOptionalHeader;
    if (tableAt + ULONGLONG(header.NumberOfSections) * sizeof(IMAGE_SECTION_HEADER) > size)
        return false;
    const auto* sections = reinterpret_cast<const IMAGE_SECTION_HEADER*>(bytes.data() + tableAt);
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        const IMAGE_SECTION_HEADER& section = sections[i];
        if (section.SizeOfRawData != 0 && ULONGLONG(section.PointerToRawData) + section.SizeOfRawData > size)
            return false;
    }
    return true;
}

bool HasVersionResource(const CString& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return false;
    std::vector<unsigned char> info(size);
    if (!GetFileVersionInfoW(path, 0, size, info.data()))
        return false;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    return VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
           length >= sizeof(VS_FIXEDFILEINFO) && fixed->dwSignature == VS_FFI_SIGNATURE;
}

} // namespace

bool IsWholeProgramImage(const CString& path, ProgramImageKind kind)
{
    std::vector<unsigned char> bytes;
    return ReadWholeFile(path, bytes) && HeadersHold(bytes, kind) && HasVersionResource(path);
}
