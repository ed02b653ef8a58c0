#include "fileops/progress.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "frame/dialog.h"
#include "frame/status_message.h"

namespace kestrel {

namespace {

// From column 13 (a blank after "Please Wait") to column 49, left of the
// browser's navigation buttons.
constexpr int kProgressCol = 13;
constexpr std::size_t kProgressWidth = 37;

void tallyPath(const std::string& path, bool recursive, Tally& t) {
    struct stat st{};
    if ((recursive ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st)) != 0) return;
    if (S_ISREG(st.st_mode)) t.bytes += static_cast<std::uint64_t>(st.st_size);
    if (!S_ISDIR(st.st_mode) || recursive) ++t.entries;
    if (!recursive || !S_ISDIR(st.st_mode)) return;
    DIR* d = ::opendir(path.c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") tallyPath(path + "/" + name, true, t);
    }
    ::closedir(d);
}

// Both amounts in the unit the larger one needs: "0.99 GB of 1.00 GB".
std::string amountText(std::uint64_t bytes, std::uint64_t scale) {
    char text[32];
    if (scale < (1u << 20)) std::snprintf(text, sizeof text, "%llu KB", static_cast<unsigned long long>((bytes + 1023) / 1024));
    else if (scale < (1u << 30)) std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / (1 << 20));
    else std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(bytes) / (1 << 30));
    return text;
}

std::string percent(std::uint64_t done, std::uint64_t total) {
    const std::uint64_t p = total == 0 ? 100 : std::min<std::uint64_t>(done * 100 / total, 100);
    return "  " + std::to_string(p) + "%";
}

std::string nameOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Beside "Please Wait". Over a panel the buttons go first: they answer
// nothing any more, and the text runs across them.
void showProgress(App& app, const std::string& text, bool first) {
    Screen& s = app.screen;
    if (first && s.visiblePage() == 2)
        for (const Button& b : {kYesButton, kNoButton, kBufferButton}) s.fillBox(b.x1, b.y1, b.x2, b.y2, 15);
    showPlaced(app, kPleaseWait);
    std::string shown = (" " + text).substr(0, kProgressWidth);
    shown.resize(kProgressWidth, ' ');
    s.printAt(29, kProgressCol, shown);
}

}  // namespace

Tally tallyOf(const std::vector<std::string>& paths, bool recursive) {
    Tally t;
    for (const std::string& path : paths) tallyPath(path, recursive, t);
    return t;
}

std::string copyProgressText(std::uint64_t done, std::uint64_t total) {
    const std::uint64_t scale = std::max(done, total);
    return amountText(done, scale) + " of " + amountText(total, scale) + percent(done, total);
}

std::string removeProgressText(std::uint64_t done, std::uint64_t total) {
    return std::to_string(done) + " of " + std::to_string(total) + " entries" + percent(done, total);
}

ProgressWatch copyWatch(App& app, const std::vector<std::string>& sources, const std::string& destination,
                        bool recursive) {
    struct State {
        std::vector<std::string> sources, copies;
        std::uint64_t total = 0;
        bool shown = false;
    };
    auto state = std::make_shared<State>();
    state->sources = sources;
    return {[&app, state, destination, recursive] {
        State& st = *state;
        const bool first = !st.shown;
        if (first) {
            st.total = tallyOf(st.sources, recursive).bytes;
            for (const std::string& source : st.sources)
                st.copies.push_back(destination == "/" ? "/" + nameOf(source) : destination + "/" + nameOf(source));
            st.shown = true;
        }
        showProgress(app, copyProgressText(tallyOf(st.copies, recursive).bytes, st.total), first);
    }};
}

ProgressWatch removeWatch(App& app, const std::vector<std::string>& paths, bool recursive) {
    const std::uint64_t total = tallyOf(paths, recursive).entries;
    auto shown = std::make_shared<bool>(false);
    return {[&app, paths, recursive, total, shown] {
        const std::uint64_t left = tallyOf(paths, recursive).entries;
        showProgress(app, removeProgressText(total - std::min(left, total), total), !*shown);
        *shown = true;
    }};
}

}  // namespace kestrel
