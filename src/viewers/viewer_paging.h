#pragma once
// Paging through a file on the viewer's text grid. Every byte goes through
// the screen's cursor printing one at a time, so line feeds, carriage
// returns, tabs, backspaces and bells lay the text out and the cursor row
// alone decides where a page ends: a page is done once the cursor reaches
// row 29. Nothing here knows where the bytes come from, so the on-demand
// file reader and a whole-file buffer give the same pages.
#include <cstdint>

#include "screen/screen.h"
#include "viewers/byte_source.h"

namespace kestrel {

constexpr int kViewerEndRow = 29;     // the cursor reaching it ends a page
constexpr int kViewerStatusRow = 30;

struct Pager {
    Screen& screen;
    ByteSource& source;
    int background;
    // The index of the last byte printed, 0 before the first; after a page
    // is drawn, the last byte on that page.
    std::int64_t pos = 0;
    // Asks the backward step for a second pass, to reach the page before.
    bool stepBack = false;
    bool rangThisPage = false;  // a bell byte has sounded on the page being laid out
};

// Blanks rows 1 to lastRow in colour 0 on the background and draws the page
// that follows pos.
void drawForward(Pager& p, int lastRow = kViewerEndRow);
// Moves pos back by one page by laying the bytes out in reverse (twice when
// the step-back flag is set), then draws forward from there.
void stepBackward(Pager& p);

// The viewer's paging commands. Those that can find nothing to do return
// false and leave the screen as it was.
bool nextPage(Pager& p);
void previousPage(Pager& p);
void firstPage(Pager& p);
bool lastPage(Pager& p);

}  // namespace kestrel
