// MD5 digest (RFC 1321) of a file, as 32 lower-case hexadecimal characters.
// The update check and the updater compare it with the digests the server
// lists.
#pragma once

#include "base/RefString.h"

#include <cstdint>
#include <cstdio>

class CMD5Checksum {
public:
    CMD5Checksum() noexcept;
    virtual ~CMD5Checksum() = default;

    // Feeds bytes, transforming every completed 64-byte block.
    void Md5Update(const unsigned char* bytes, size_t count) noexcept;
    // Pads, finishes and returns the digest text. The object is spent then.
    CString Md5Final();

private:
    void Md5Transform(const unsigned char block[64]) noexcept;
    static void Md5BytesToWords(uint32_t words[16], const unsigned char block[64]) noexcept;

    unsigned char m_buffer[64];
    uint32_t m_bitCount[2]; // low word first
    uint32_t m_state[4];
};

// The digest of a file; "" when it cannot be opened.
CString ComputeFileMd5(const CString& path);

// The digest of everything from the stream's position to its end; closes the
// stream.
CString ComputeStreamMd5(std::FILE* stream);
