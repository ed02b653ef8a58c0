// Paging a file on the viewer's text grid, from a whole-file buffer or the on-demand file reader.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

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

// A line feed last on row 28 ends the page; CR goes back to the row's start.
TEST(ViewerPaging, LineEndsAndTheLastByte) {
    std::string bytes = "first line\r\nsecond\n\n";
    for (int r = 4; r <= 27; ++r) bytes += "row" + std::to_string(r) + "\n";
    bytes += "last\n";
    const auto pageEnd = static_cast<std::int64_t>(bytes.size());
    bytes += "NEXT page";
    Rig rig;
    MemoryByteSource source(bytes), nothing("");
    Pager v{rig.screen, source, 2}, empty{rig.screen, nothing, 2};
    const auto row = [&](int r) { return readRow(rig.screen, r); };
    drawForward(v, kViewerStatusRow);
    EXPECT_EQ(row(1).substr(0, 11) + row(2).substr(0, 7) + row(3).substr(0, 1) + row(4).substr(0, 5) + row(28).substr(0, 5),
              "first line second  row4 last ");
    EXPECT_EQ(v.pos, pageEnd);
    EXPECT_EQ((std::pair{nextPage(v), v.pos}), std::pair(true, std::int64_t(source.size())));
    EXPECT_EQ(row(1).substr(0, 10) + row(2), "NEXT page " + std::string(80, ' '));
    EXPECT_FALSE(nextPage(v) || lastPage(v));
    drawForward(empty, kViewerStatusRow);
    previousPage(empty);
    EXPECT_EQ((std::tuple{nextPage(empty), lastPage(empty), empty.pos}), std::tuple(false, false, std::int64_t{0}));
}

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
        for (Pager* p : {&a, &b}) drawForward(*p, kViewerStatusRow);
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
    EXPECT_TRUE(lastPage(p) && p.pos <= source.size() && source.size() < 300000);
    for (int i = 0; i < 40; ++i) nextPage(p);
    EXPECT_TRUE(p.pos <= source.size() && !nextPage(p));

    // Past 2 GiB and 4 GiB: the whole file, its last page read from the end.
    for (const std::int64_t size : {std::int64_t{3} << 30, (std::int64_t{4} << 30) + 17}) {
        const std::string big = dir.file("sparse");
        std::filesystem::resize_file(big, static_cast<std::uintmax_t>(size) - 8);
        std::ofstream(big, std::ios::app) << "\nTHE END";
        FileByteSource huge(big);
        ASSERT_EQ(huge.size(), size);
        Pager h{rig.screen, huge, 2};
        drawForward(h, kViewerStatusRow);
        EXPECT_EQ(h.pos, 2240);
        EXPECT_EQ((std::pair{lastPage(h), h.pos}), std::pair(true, size));
        EXPECT_TRUE(readRow(rig.screen, 28).find("THE END") != std::string::npos && huge.blockReads() <= 4);
    }
}
