// The pools make fonts, images and icons on first request, and message
// boxes ask from worker threads too: two threads that ask for the same
// things at the same moment must get the same, living objects.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "base/Thread.h"
#include "skin/SkBmpPool.h"
#include "skin/SkFileIconCache.h"
#include "skin/SkFontPool.h"
#include "skin/SkPngPool.h"
#include "skin/SkStylePool.h"
#include "tests/support/TempFolder.h"

namespace {

using Results = std::vector<const void*>;

// Asks for things 0 .. count - 1 on two threads that meet before each one,
// so that both ask for the same thing at the same moment; returns what each
// got.
std::vector<Results> AskOnTwoThreads(size_t count, const std::function<const void*(size_t)>& ask)
{
    std::atomic<size_t> arrivals{0};
    std::vector<Results> results(2);
    std::vector<CHandle> threads;
    for (Results& result : results)
        threads.push_back(StartThread([&result, &ask, &arrivals, count] {
            for (size_t i = 0; i < count; ++i) {
                ++arrivals;
                while (arrivals < 2 * (i + 1))
                    YieldProcessor();
                result.push_back(ask(i));
            }
        }));
    for (CHandle& thread : threads) {
        if (WaitForSingleObject(thread, 60000) != WAIT_OBJECT_0) {
            // They would go on writing into what this function gives back.
            ADD_FAILURE() << "a thread asking the pool did not end in 60 s";
            for (CHandle& other : threads)
                TerminateThread(other, 1);
            return {};
        }
    }
    return results;
}

void ExpectSameAndPresent(const std::vector<Results>& results, const char* pool, size_t expectedNulls = 0)
{
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0], results[1]) << pool;
    size_t nulls = 0;
    for (const void* got : results[0])
        nulls += got == nullptr;
    EXPECT_EQ(nulls, expectedNulls) << pool;
}

} // namespace

TEST(PoolThreads, FontsMadeAtOnceAreOneFontEach)
{
    // Words 0x0008 to 0x07F8: plain, bold, italic ... of small size changes.
    const auto results = AskOnTwoThreads(255, [](size_t i) -> const void* {
        const WORD word = static_cast<WORD>(((i + 1) & 31) << 3 | ((i + 1) >> 5) << 8);
        return SkFontPool::Instance().FontForStyle(word);
    });
    ExpectSameAndPresent(results, "fonts");
    for (const void* font : results[0]) {
        LOGFONTW described = {};
        EXPECT_EQ(GetObjectW(static_cast<HFONT>(const_cast<void*>(font)), sizeof(described), &described),
                  static_cast<int>(sizeof(described)));
    }
}

TEST(PoolThreads, BitmapsAndPngImagesLoadedAtOnceAreOneEach)
{
    const UINT bitmapIds[] = {5, 6, 33, 106, 107, 9999};
    const auto bitmaps = AskOnTwoThreads(
        6, [&bitmapIds](size_t i) -> const void* { return SkBmpPool::Instance().GetBitmap(bitmapIds[i]); });
    ExpectSameAndPresent(bitmaps, "bitmaps", 1); // 9999 does not exist, and is not kept

    // A missing PNG still gives an (empty) image, cached as well.
    const auto images = AskOnTwoThreads(102, [](size_t i) -> const void* {
        const UINT id = i == 0 ? 44 : i == 1 ? 78 : static_cast<UINT>(2000 + i);
        return SkPngPool::Instance().GetImage(id);
    });
    ExpectSameAndPresent(images, "png images");
    EXPECT_EQ(static_cast<Gdiplus::Image*>(const_cast<void*>(images[0][0]))->GetWidth(), 123u);
}

TEST(PoolThreads, FileIconsAskedAtOnceAreOneIconEach)
{
    CTempFolder folder;
    std::vector<CString> paths;
    for (int i = 0; i < 20; ++i) {
        const std::wstring name = L"icon" + std::to_wstring(i) + (i % 2 ? L".txt" : L".bmp");
        WriteFileBytes(folder / name.c_str(), "x");
        paths.push_back(folder / name.c_str());
    }
    const size_t before = SkFileIconCache::Instance().Count();
    const auto icons = AskOnTwoThreads(paths.size(), [&paths](size_t i) -> const void* {
        return SkFileIconCache::Instance().GetIcon(paths[i]);
    });
    ExpectSameAndPresent(icons, "file icons");
    EXPECT_EQ(SkFileIconCache::Instance().Count(), before + paths.size());
}

TEST(PoolThreads, StyleLookupsOnlyRead)
{
    const auto styles = AskOnTwoThreads(
        50, [](size_t i) -> const void* { return &FindStyle(("unknown" + std::to_string(i)).c_str()); });
    ExpectSameAndPresent(styles, "styles");
    EXPECT_EQ(styles[0][0], &FindStyle(""));
}
