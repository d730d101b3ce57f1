// The WinINet functions the program calls, taken from wininet.dll when one
// of them is first called: the library, and the libraries it loads, come
// when the program first goes to the network, not with the program's start.
// Each behaves as its namesake; without the library each fails with
// ERROR_MOD_NOT_FOUND.
#pragma once

#include <windows.h>

#include <wininet.h>

HINTERNET WinInetOpen(const wchar_t* agent, DWORD accessType, const wchar_t* proxy,
                      const wchar_t* proxyBypass, DWORD flags);
HINTERNET WinInetOpenUrl(HINTERNET internet, const wchar_t* url, const wchar_t* headers, DWORD headersLength,
                         DWORD flags, DWORD_PTR context);
BOOL WinInetReadFile(HINTERNET file, void* buffer, DWORD toRead, DWORD* read);
BOOL WINAPI WinInetCloseHandle(HINTERNET handle);
BOOL WinInetQueryOption(HINTERNET internet, DWORD option, void* buffer, DWORD* length);
BOOL WinInetCheckConnection(const wchar_t* url, DWORD flags, DWORD reserved);
BOOL WinInetHttpQueryInfo(HINTERNET request, DWORD infoLevel, void* buffer, DWORD* length, DWORD* index);
