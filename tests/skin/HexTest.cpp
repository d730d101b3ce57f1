#include <gtest/gtest.h>

#include <cstring>

#include "skin/SkHex.h"

TEST(HexToInt, ReadsDigitsUpToTheCount)
{
    struct Case {
        int count;
        const char* text;
        int value;
    } cases[] = {
        {-1, "25", 0x25}, {-1, "8030", 0x8030}, {-1, "0104", 0x104}, {-1, "aBcD", 0xABCD},
        {-1, "", 0},      {-1, "0x10", 0},      {-1, "12 ", 0},      {2, "FFF", 0xFF},
        {2, "F", 0xF},    {2, "#F", 0},         {0, "FF", 0},        {-1, "FFFFFFFF", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HexToInt(c.count, c.text), c.value) << c.count << " \"" << c.text << "\"";
}

TEST(ParseColor, ReadsRedGreenBluePairs)
{
    struct Case {
        const char* text;
        COLORREF colour;
    } cases[] = {
        {"FBFCFD", RGB(0xFB, 0xFC, 0xFD)},
        {"fbfcfd", RGB(0xFB, 0xFC, 0xFD)},
        {"6786FA", RGB(0x67, 0x86, 0xFA)},
        {"#FFFFFF", 0xFFFF00},          // the first pair "#F" is bad and counts 0
        {"GG1122", RGB(0, 0x11, 0x22)}, // only the bad pair counts 0
        {"12345678", RGB(0x12, 0x34, 0x56)},
        // Shorter texts: pairs past the end count 0.
        {"", 0},
        {"F", RGB(0x0F, 0, 0)},
        {"ABCD", RGB(0xAB, 0xCD, 0)},
        {"ABCDE", RGB(0xAB, 0xCD, 0x0E)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColor(c.text), c.colour) << "\"" << c.text << "\"";
}

TEST(ParseColor, NeverReadsPastTheEndOfAShortText)
{
    // Texts that end right before an inaccessible page.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    char* block =
        static_cast<char*>(VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(block, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(block + page, page, PAGE_NOACCESS, &old));
    for (const char* text : {"", "A", "AB", "ABC", "ABCD", "ABCDE"}) {
        size_t size = std::strlen(text) + 1;
        char* placed = block + page - size;
        std::memcpy(placed, text, size);
        COLORREF expected = 0;
        size_t length = size - 1;
        if (length >= 1)
            expected |= HexToInt(2, text);
        if (length >= 3)
            expected |= HexToInt(2, text + 2) << 8;
        if (length >= 5)
            expected |= HexToInt(2, text + 4) << 16;
        EXPECT_EQ(ParseColor(placed), expected) << "\"" << text << "\"";
    }
    VirtualFree(block, 0, MEM_RELEASE);
}
