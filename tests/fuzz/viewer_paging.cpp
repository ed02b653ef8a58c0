// The viewer's page layout on any file content and any run of paging
// commands: the first bytes choose the view and the commands, the rest is
// the file. The position stays within the file, paging forward always
// moves on, and the last page ends at the file's end.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "screen/screen.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const bool expanded = data[0] & 0x80;
    const size_t commands = std::min<size_t>(data[0] & 0x07, size - 1);
    // A few pages are enough to reach every layout path, and keep runs quick.
    const std::string content(reinterpret_cast<const char*>(data + 1 + commands),
                              std::min<size_t>(size - 1 - commands, 12000));

    // One screen per view for the whole run: setting a mode clears five
    // pages, which would cost more than the paging itself. Every run starts
    // with the first page, which blanks the rows and homes the cursor.
    struct View {
        RealClock clock;
        Input input;
        HeadlessPresenter presenter{&input};
        Screen screen{clock, input, presenter};
        View(int w, int h) { screen.setMode(w, h); }
    };
    static View normal(640, 480), wide(800, 600);
    Screen& screen = expanded ? wide.screen : normal.screen;
    MemoryByteSource source(content);
    Pager pager{screen, source, 2};
    const std::int64_t end = source.size();

    firstPage(pager);
    FUZZ_CHECK(pager.pos >= 0 && pager.pos <= end);
    for (size_t i = 0; i < commands; ++i) {
        const std::int64_t before = pager.pos;
        switch (data[1 + i] % 4) {
            case 0:
                if (nextPage(pager)) FUZZ_CHECK(pager.pos > before);
                else FUZZ_CHECK(before == end);
                break;
            case 1: previousPage(pager); break;
            case 2: firstPage(pager); break;
            case 3:
                if (lastPage(pager)) FUZZ_CHECK(before < end);
                // The last page is drawn forward to the end of the file.
                FUZZ_CHECK(pager.pos == end || screen.cursorRow() >= kViewerEndRow);
                break;
        }
        FUZZ_CHECK(pager.pos >= 0 && pager.pos <= end);
    }
    return 0;
}
