#include "app/common/Md5Checksum.h"

#include <cstring>
#include <memory>

namespace {

constexpr size_t kReadBlock = 1024;

// Per-round shift amounts and the sine-derived constants of RFC 1321.
constexpr int kShifts[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

constexpr uint32_t kSines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

inline uint32_t RotateLeft(uint32_t x, int n) noexcept
{
    return (x << n) | (x >> (32 - n));
}

struct FileCloser {
    void operator()(std::FILE* f) const noexcept { std::fclose(f); }
};

} // namespace

CMD5Checksum::CMD5Checksum() noexcept
    : m_buffer{}, m_bitCount{0, 0}, m_state{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476}
{
}

void CMD5Checksum::Md5BytesToWords(uint32_t words[16], const unsigned char block[64]) noexcept
{
    for (int i = 0; i < 16; ++i) {
        const unsigned char* b = block + 4 * i;
        words[i] = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                   static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
    }
}

void CMD5Checksum::Md5Transform(const unsigned char block[64]) noexcept
{
    uint32_t x[16];
    Md5BytesToWords(x, block);
    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        const int round = i / 16;
        uint32_t f;
        int k;
        switch (round) {
        case 0:
            f = (b & c) | (~b & d);
            k = i;
            break;
        case 1:
            f = (b & d) | (c & ~d);
            k = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            k = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            k = (7 * i) % 16;
            break;
        }
        const uint32_t rotated = RotateLeft(a + f + x[k] + kSines[i], kShifts[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5Checksum::Md5Update(const unsigned char* bytes, size_t count) noexcept
{
    size_t used = (m_bitCount[0] >> 3) & 0x3F;
    const uint64_t bits = static_cast<uint64_t>(count) << 3;
    const uint32_t low = m_bitCount[0] + static_cast<uint32_t>(bits);
    m_bitCount[1] += static_cast<uint32_t>(bits >> 32) + (low < m_bitCount[0] ? 1 : 0);
    m_bitCount[0] = low;

    while (count > 0) {
        const size_t take = count < 64 - used ? count : 64 - used;
        std::memcpy(m_buffer + used, bytes, take);
        used += take;
        bytes += take;
        count -= take;
        if (used == 64) {
            Md5Transform(m_buffer);
            used = 0;
        }
    }
}

CString CMD5Checksum::Md5Final()
{
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(m_bitCount[i / 4] >> (8 * (i % 4)));

    const size_t used = (m_bitCount[0] >> 3) & 0x3F;
    const size_t padding = used < 56 ? 56 - used : 120 - used;
    unsigned char pad[64] = {0x80};
    Md5Update(pad, padding);
    Md5Update(length, 8);

    CString text;
    for (uint32_t word : m_state) {
        for (int i = 0; i < 4; ++i)
            text.AppendFormat(L"%02x", static_cast<unsigned>((word >> (8 * i)) & 0xFF));
    }
    return text;
}

CString ComputeStreamMd5(std::FILE* stream)
{
    std::unique_ptr<std::FILE, FileCloser> file(stream);
    if (!file)
        return CString();
    CMD5Checksum checksum;
    unsigned char block[kReadBlock];
    for (;;) {
        const size_t read = std::fread(block, 1, kReadBlock, file.get());
        if (read < 1)
            break;
        checksum.Md5Update(block, read);
    }
    file.reset();
    return checksum.Md5Final();
}

CString ComputeFileMd5(const CString& path)
{
    std::FILE* stream = _wfopen(path, L"rb");
    if (!stream)
        return CString();
    return ComputeStreamMd5(stream);
}
