// Paging through a file on the viewer's text grid, one byte at a time
// through the screen's cursor printing (whose control bytes and glyphs the
// screen tests pin; the bell once a page, the viewer scenarios).
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "rig.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

constexpr int kBg = 2;

struct PagerRig {
    explicit PagerRig(std::string bytes, int width = 640, int height = 480)
        : rig(width, height), source(std::move(bytes)), pager{rig.screen, source, kBg} {
        rig.screen.setPages(1, 1);
    }
    std::string row(int r) { return readRow(rig.screen, r); }
    Rig rig;
    MemoryByteSource source;
    Pager pager;
};

// n printable bytes that differ from their neighbours, so a misplaced page shows.
std::string printable(size_t n) {
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('!' + i % 90);
    return s;
}

}  // namespace

TEST(ViewerPaging, OnePageFileEndsAtItsLastByte) {
    PagerRig v("first line\r\nsecond\n\nfourth");
    drawForward(v.pager, kViewerStatusRow);
    EXPECT_EQ(v.pager.pos, v.source.size());
    EXPECT_EQ(v.row(1).substr(0, 11) + v.row(2).substr(0, 7) + v.row(3).substr(0, 1) + v.row(4).substr(0, 7),
              "first line second  fourth ");
    EXPECT_EQ(std::tuple(nextPage(v.pager), lastPage(v.pager), v.pager.pos), std::tuple(false, false, std::int64_t(v.source.size())));
    PagerRig empty("");
    drawForward(empty.pager, kViewerStatusRow);
    EXPECT_FALSE(nextPage(empty.pager));
    previousPage(empty.pager);
    EXPECT_EQ(empty.pager.pos, 0);
}

TEST(ViewerPaging, PagesWithoutLineFeedsHoldTwentyEightFullRows) {
    struct View { int width, height, perPage, cols; };
    for (const View view : {View{640, 480, 2240, 80}, View{800, 600, 2800, 100}}) {
        SCOPED_TRACE(view.width);
        const std::string bytes = printable(3 * view.perPage + 123);
        PagerRig v(bytes, view.width, view.height);
        drawForward(v.pager, kViewerStatusRow);
        EXPECT_EQ(v.pager.pos, view.perPage);
        EXPECT_EQ(v.row(1).substr(0, 10) + v.row(28) + v.row(29),
                  bytes.substr(0, 10) + bytes.substr(27 * view.cols, view.cols) + std::string(view.cols, ' '));

        EXPECT_TRUE(nextPage(v.pager));
        EXPECT_EQ(v.row(1) + std::to_string(v.pager.pos), bytes.substr(view.perPage, view.cols) + std::to_string(2 * view.perPage));
        // The last page: the last perPage bytes, whatever the page grid.
        EXPECT_TRUE(lastPage(v.pager));
        EXPECT_EQ(v.row(1) + v.row(28), bytes.substr(bytes.size() - view.perPage, view.cols) + bytes.substr(bytes.size() - view.cols));
        EXPECT_EQ(std::tuple(nextPage(v.pager), lastPage(v.pager), v.pager.pos), std::tuple(false, false, std::int64_t(v.source.size())));
    }
}

TEST(ViewerPaging, LineFeedLastOnRow28EndsThePage) {
    std::string bytes;
    for (int r = 1; r <= 27; ++r) bytes += "row" + std::to_string(r) + "\n";
    bytes += "last\n";
    const auto pageEnd = static_cast<std::int64_t>(bytes.size());
    bytes += "NEXT page";
    PagerRig v(bytes);
    drawForward(v.pager, kViewerStatusRow);
    EXPECT_EQ(std::pair(v.pager.pos, v.row(28).substr(0, 5)), std::pair(pageEnd, std::string("last ")));
    EXPECT_TRUE(nextPage(v.pager));
    EXPECT_EQ(std::pair(v.pager.pos, v.row(1).substr(0, 10) + v.row(2)), std::pair(std::int64_t(v.source.size()), "NEXT page " + std::string(80, ' ')));
}

// Home from the third page, Up on the second and on the first page, and Up
// from the third page: where each ends and what its first row shows.
TEST(ViewerPaging, HomeAndUpComeBackToTheFirstPage) {
    const std::string bytes = printable(10000);
    PagerRig v(bytes);
    drawForward(v.pager, kViewerStatusRow);
    struct Case { int forward; bool home; int pos; };
    for (const Case c : {Case{2, true, 2240}, {1, false, 2240}, {0, false, 2240}, {2, false, 2 * 2240}}) {
        for (int i = 0; i < c.forward; ++i) ASSERT_TRUE(nextPage(v.pager));
        c.home ? firstPage(v.pager) : previousPage(v.pager);
        EXPECT_EQ(v.pager.pos, c.pos) << c.forward;
        EXPECT_EQ(v.row(1) + v.row(28), bytes.substr(c.pos - 2240, 80) + bytes.substr(c.pos - 80, 80)) << c.forward;
    }
}
