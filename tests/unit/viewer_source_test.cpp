// The on-demand file reader against a whole-file buffer, and the files a
// buffer could not hold or that change while they are shown.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "rig.h"
#include "temp_dir.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// Bytes rich in the ones that move the cursor, so pages vary in length.
std::string randomBytes(std::mt19937& rng, size_t n) {
    static constexpr unsigned char kFavoured[] = {10, 13, 9, 8, 7, 0, 27, 255, 'a', ' '};
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(rng() % 2 ? kFavoured[rng() % 10] : rng() % 256);
    return s;
}

}  // namespace

TEST(ViewerSources, OnDemandReaderShowsTheSamePagesAsAWholeFileBuffer) {
    std::mt19937 rng(20240611);
    TempDir dir;
    // Sizes around the block edges and past the cache's reach.
    for (const size_t size : {0, 1, 2, 2239, 2240, 2241, 65535, 65536, 65537, 140000, 300001}) {
        SCOPED_TRACE(size);
        const std::string bytes = randomBytes(rng, size);
        const std::string path = dir.file("f" + std::to_string(size), bytes);
        Rig refRig, fileRig;
        MemoryByteSource reference(bytes);
        FileByteSource onDemand(path);
        ASSERT_EQ(onDemand.size(), reference.size());
        Pager a{refRig.screen, reference, 2}, b{fileRig.screen, onDemand, 2};
        drawForward(a, kViewerStatusRow);
        drawForward(b, kViewerStatusRow);
        for (int i = 0; i < 120; ++i) {
            // Mostly forward, so long files are crossed, with jumps both ways.
            const unsigned k = rng() % 10;
            for (Pager* p : {&a, &b}) k < 6 ? (void)nextPage(*p) : k < 8 ? previousPage(*p) : k < 9 ? firstPage(*p) : (void)lastPage(*p);
            ASSERT_EQ(a.pos, b.pos) << "step " << i;
            ASSERT_TRUE(refRig.screen.page(0) == fileRig.screen.page(0)) << "step " << i;
        }
        // A cache of a few blocks, not a copy of the file.
        EXPECT_LE(onDemand.blockReads(), 4 + 120 * 3);
    }
}

TEST(ViewerSources, UnreadableShrinkingAndHugeFiles) {
    TempDir dir;
    // Missing files, directories and pipes have no bytes to show.
    ASSERT_EQ(mkfifo((dir.path + "/pipe").c_str(), 0600), 0);  // opening it must not block
    for (const char* name : {"/gone", "", "/pipe"}) EXPECT_EQ(FileByteSource(dir.path + name).size(), 0) << name;

    // A file cut short while it is shown ends where its bytes ran out.
    const std::string path = dir.file("shrinks", std::string(300000, 'x'));
    FileByteSource source(path);
    Rig rig;
    Pager p{rig.screen, source, 2};
    drawForward(p, kViewerStatusRow);
    ASSERT_EQ(p.pos, 2240);
    std::filesystem::resize_file(path, 1000);
    EXPECT_TRUE(lastPage(p));
    EXPECT_TRUE(p.pos <= source.size() && source.size() < 300000);
    for (int i = 0; i < 40; ++i) nextPage(p);
    EXPECT_LE(p.pos, source.size());
    EXPECT_FALSE(nextPage(p));
    std::filesystem::resize_file(path, 0);
    FileByteSource emptied(path);
    Pager q{rig.screen, emptied, 2};
    drawForward(q);
    EXPECT_EQ(q.pos, 0);

    // Past 2 GiB and 4 GiB: the whole file, its last page read from the end.
    for (const std::int64_t size : {std::int64_t{3} << 30, (std::int64_t{4} << 30) + 17}) {
        const std::string big = dir.path + "/sparse";
        dir.file("sparse");
        std::filesystem::resize_file(big, static_cast<std::uintmax_t>(size) - 8);
        std::ofstream(big, std::ios::app) << "\nTHE END";
        FileByteSource huge(big);
        ASSERT_EQ(huge.size(), size);
        Pager h{rig.screen, huge, 2};
        drawForward(h, kViewerStatusRow);
        EXPECT_EQ(h.pos, 2240);
        EXPECT_EQ(std::pair(lastPage(h), h.pos), std::pair(true, size));
        EXPECT_NE(readRow(rig.screen, 28).find("THE END"), std::string::npos);
        EXPECT_LE(huge.blockReads(), 4);
    }
}
