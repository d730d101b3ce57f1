#include "app/install/VisualStyle.h"

#include <uxtheme.h>

#include "app/install/WindowsFolders.h"
#include "base/Handle.h"

namespace {

constexpr WORD kSetVisualStyleOrdinal = 65;
constexpr UINT kSetVisualStyleFlags = 33;

using SetVisualStyleFn = HRESULT(WINAPI*)(LPCWSTR file, LPCWSTR color, LPCWSTR size, UINT flags);

const IMAGE_EXPORT_DIRECTORY* ExportDirectory(HMODULE module)
{
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE)
        return nullptr;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE)
        return nullptr;
    const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    if (entry.VirtualAddress == 0 || entry.Size < sizeof(IMAGE_EXPORT_DIRECTORY))
        return nullptr;
    return reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
}

} // namespace

bool CurrentThemeFile(CString& file)
{
    wchar_t name[MAX_PATH] = {};
    wchar_t color[MAX_PATH] = {};
    wchar_t size[MAX_PATH] = {};
    if (FAILED(GetCurrentThemeName(name, MAX_PATH, color, MAX_PATH, size, MAX_PATH)))
        return false;
    file = name;
    return true;
}

bool IsUnnamedExport(HMODULE module, WORD ordinal)
{
    if (!module)
        return false;
    const IMAGE_EXPORT_DIRECTORY* exports = ExportDirectory(module);
    if (!exports || ordinal < exports->Base || ordinal - exports->Base >= exports->NumberOfFunctions)
        return false;
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* functions = reinterpret_cast<const DWORD*>(base + exports->AddressOfFunctions);
    const DWORD index = ordinal - exports->Base;
    if (functions[index] == 0)
        return false;
    const auto* nameOrdinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (nameOrdinals[i] == index)
            return false;
    }
    return true;
}

bool SetVisualStyle(const CString& file)
{
    return SetVisualStyleThrough(SystemDirectory() + L"\\uxtheme.dll", file);
}

bool SetVisualStyleThrough(const CString& library, const CString& file)
{
    CModuleHandle module(LoadLibraryW(library));
    if (!module)
        return false;
    const FARPROC entry = GetProcAddress(module, MAKEINTRESOURCEA(kSetVisualStyleOrdinal));
    if (!entry || !IsUnnamedExport(module, kSetVisualStyleOrdinal))
        return false;
    const auto setVisualStyle = reinterpret_cast<SetVisualStyleFn>(reinterpret_cast<void*>(entry));
    setVisualStyle(file, L"NormalColor", L"NormalSize", kSetVisualStyleFlags);
    return true;
}
