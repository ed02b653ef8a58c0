// Renders Kestrel's browser headless on a small demo directory and writes
// the page as a PNG: the README's screenshot.
//   kestrel_screenshot OUT.png [normal|expanded]
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "session.h"

using namespace kestrel;
using namespace kestrel::test;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestrel_screenshot OUT.png [normal|expanded]\n");
        return 2;
    }
    // Kestrel moves its working directory to the listed one.
    const std::string out = std::filesystem::absolute(argv[1]).string();
    const bool expanded = argc < 3 || std::string(argv[2]) != "normal";
    TempDir demo;
    demo.file("projects/kestrel/README.md", "");
    demo.dir("music");
    demo.dir("photos");
    demo.file("budget-2026.ods", std::string(18433, 'x'));
    demo.file("holiday.mp4", std::string(734003, 'x'));
    demo.file("letter.txt", "Dear Ann,\n");
    demo.file("notes.md", std::string(2211, 'x'));
    demo.file("report.pdf", std::string(96580, 'x'));
    demo.file("setup.sh", "#!/bin/sh\n");
    const timespec when[2] = {{1767225600, 0}, {1767225600, 0}};
    utimensat(AT_FDCWD, (demo.path + "/letter.txt").c_str(), when, 0);

    Session s;
    s.settings(expanded ? 1 : 0, 0, demo.path, 1);
    s.script.wait(1500).ext(scan::Down).wait(300).ext(scan::Down).wait(300).ext(scan::Down).wait(300);
    bool written = false;
    s.script.then([&] { written = writePng(s.screen(), 0, out); }).key(27);
    s.run();
    return written ? 0 : 1;
}
