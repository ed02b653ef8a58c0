// Renders the README's pictures headless: Kestrel runs on virtual time over a
// small demo directory, a script drives it to the screen a picture shows, and
// the visible page is written as a PNG.
//   kestrel_screenshot NAME OUT.png    one picture
//   kestrel_screenshot --list          the names, one a line (make pictures)
// A new picture is a row in kPictures and the script that reaches its screen.
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../../tests/unit/disks_golden.h"
#include "session.h"
#include "../page_png.h"

using namespace kestrel;
using namespace kestrel::test;

namespace {

// The demo directory sits at a fixed place so that its path line, too, is
// the same on every rendering: /tmp/kestrel-pictures/ann.
struct Demo {
    struct Folder {
        std::string base = (std::filesystem::temp_directory_path() / "kestrel-pictures").string();
        std::string path = base + "/ann";
        Folder() {
            std::filesystem::remove_all(base);
            std::filesystem::create_directories(path);
        }
        ~Folder() {
            std::error_code ec;
            std::filesystem::current_path("/", ec);
            std::filesystem::remove_all(base, ec);
        }
        void file(const std::string& name, const std::string& content = "") const {
            const auto p = std::filesystem::path(path) / name;
            std::filesystem::create_directories(p.parent_path());
            std::ofstream(p, std::ios::binary) << content;
        }
        void dir(const std::string& name) const { std::filesystem::create_directories(path + "/" + name); }
    } dir;
    Demo() {
        dir.file("projects/kestrel/README.md", "");
        dir.dir("music");
        dir.dir("photos");
        dir.file("backup", "\x7f" "ELF");
        dir.file("budget-2026.ods", std::string(18433, 'x'));
        dir.file("holiday.mp4", std::string(734003, 'x'));
        dir.file("letter.txt",
                 "Dear Ann,\n\nthe photos from the coast are in the photos folder, and the budget\n"
                 "for next year is beside them. Kestrel's Copy/Kill Buffer made short work of\n"
                 "sorting them: pick with Q, copy with C, paste with P.\n\nSee you on Sunday,\nBen\n");
        dir.file("notes.md", std::string(2211, 'x'));
        dir.file("report.pdf", std::string(96580, 'x'));
        dir.file("setup.sh", "#!/bin/sh\n");
        // Fixed dates, so the pictures only change when Kestrel does.
        for (const auto& e : std::filesystem::directory_iterator(dir.path)) {
            const timespec t = {e.path().filename() == "letter.txt" ? 1767225600 : 1764849000, 0};
            const timespec when[2] = {t, t};
            utimensat(AT_FDCWD, e.path().c_str(), when, 0);
        }
    }
};

// Entries in name order: .., backup, budget-2026.ods, holiday.mp4,
// letter.txt, music, ...
void downTo(Script& sc, int entry) {
    for (int i = 1; i < entry; ++i) sc.ext(scan::Down).wait(300);
}

void browserScript(Session& s, Demo&) { downTo(s.script, 4); }

void viewerScript(Session& s, Demo&) {
    downTo(s.script, 5);
    s.script.key(13).wait(1500);
}

// The kill-all confirmation for the demo directory, a four-button one.
void confirmationScript(Session& s, Demo&) {
    downTo(s.script, 2);
    s.script.key('x').wait(1500);
}

// The disks screen over a recorded machine: the refresh's lsblk and df -h
// lines write tests/data/disks/own_layout.*, so the picture never depends on
// the drives of the machine that renders it.
void disksScript(Session& s, Demo&) {
    actAsMachine(s.runner, s.programDir.path, "own_layout");
    s.script.key('l').wait(1500);
    for (int i = 0; i < 2; ++i) s.script.ext(scan::Down).wait(300);
}

// The calculator panel of the expanded view: a sum worked on in steps, each
// result the first operand of the next, as its record shows.
void calculatorScript(Session& s, Demo&) {
    s.script.move(700, 40).wait(300);
    for (const char* step : {"1234.5*2=", "/4=", "+100=", "*15%", "="}) s.script.keys(step).wait(300);
    s.script.wait(500);
}

struct Picture {
    const char* name;
    int bigSmall;  // the view it is taken in
    void (*script)(Session&, Demo&);
};

constexpr Picture kPictures[] = {
    {"browser", 1, browserScript},
    {"viewer", 0, viewerScript},
    {"confirmation", 0, confirmationScript},
    {"disks", 0, disksScript},
    {"calculator", 1, calculatorScript},
};

bool render(const Picture& p, const std::string& out) {
    Demo demo;
    Session s;
    s.readsOutside = true;  // the fixed demo folder; the pictures run nothing for real
    s.settings(p.bigSmall, 0, demo.dir.path, 1);
    s.script.wait(1500);
    p.script(s, demo);
    bool written = false;
    s.script.then([&] { written = writePagePng(s.screen(), s.screen().visiblePage(), s.screen().width(), s.screen().height(), 1, out); });
    // Off the calculator panel, which a pointer over it would open again;
    // then Esc until Kestrel has left every screen and saved.
    s.script.move(300, 200).wait(300);
    for (int i = 0; i < 4; ++i) s.script.key(27).wait(1000);
    s.run();
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--list") {
        for (const auto& p : kPictures) std::printf("%s\n", p.name);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: kestrel_screenshot NAME OUT.png | --list\n");
        return 2;
    }
    // Dates and the clock in UTC, wherever the pictures are rendered; the
    // clock runs on the virtual clock from a fixed moment.
    setenv("TZ", "UTC0", 1);
    tzset();
    // Kestrel moves its working directory to the listed one.
    const std::string out = std::filesystem::absolute(argv[2]).string();
    for (const auto& p : kPictures)
        if (argv[1] == std::string(p.name)) return render(p, out) ? 0 : 1;
    std::fprintf(stderr, "kestrel_screenshot: no picture named %s\n", argv[1]);
    return 2;
}
