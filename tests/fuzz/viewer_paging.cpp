// Paging any file (the first bytes choose the view and the commands): the position stays in the file,
// forward moves on, the last page ends at the end.
#include "fuzz_check.h"
#include "viewers/viewer_paging.h"

using namespace kestrel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const size_t commands = std::min<size_t>(data[0] & 0x07, size - 1);
    Screen& screen = (data[0] & 0x80) ? fuzzScreen<800, 600>() : fuzzScreen<640, 480>();
    screen.setDrawing(false);  // laid out, not drawn: only the cursor ends a page
    MemoryByteSource source(std::string(fuzzText(data + 1 + commands, std::min<size_t>(size - 1 - commands, 12000))));
    Pager pager{screen, source, 2};
    firstPage(pager);
    const std::int64_t end = source.size();
    for (size_t i = 0; i < commands; ++i) {
        const std::int64_t before = pager.pos;
        switch (data[1 + i] % 4) {
            case 0: FUZZ_CHECK(nextPage(pager) ? pager.pos > before : before == end); break;
            case 1: previousPage(pager); break;
            case 2: firstPage(pager); break;
            case 3: FUZZ_CHECK((!lastPage(pager) || before < end) && (pager.pos == end || screen.cursorRow() >= kViewerEndRow)); break;
        }
        FUZZ_CHECK(pager.pos >= 0 && pager.pos <= end);
    }
    return 0;
}
