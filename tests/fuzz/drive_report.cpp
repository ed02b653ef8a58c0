// The lsblk and df -h report readers on any two texts (split at the first
// NUL byte). Every device comes from one line of the lsblk report, in the
// report's order, and its fields from within that line; at most
// kMaxDeviceRows devices; a device's df figures are the first df line that
// names exactly that device, never another device's.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "disks/drive_report.h"
#include "fuzz_check.h"

using namespace kestrel;

namespace {

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view l = text.substr(0, end);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        lines.push_back(l);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool holds(std::string_view line, std::string_view piece) { return line.find(piece) != std::string_view::npos; }

// Whether `d` can have been read from `line`: its name is the line's first
// word, its row the line's first 72 characters padded, its running flag the
// line's, its type and (undecoded) mount point no longer than the line.
bool readFrom(const Device& d, std::string_view line) {
    if (line.substr(0, line.find(' ')) != d.name) return false;
    std::string row(line.substr(0, 72));
    row.resize(72, ' ');
    row += holds(line, "running") ? "    1 " : "    0 ";
    if (d.row != row) return false;
    if (d.type.find(' ') != std::string::npos || (!d.type.empty() && !holds(line, d.type))) return false;
    if (d.mountPoint.size() > line.size()) return false;
    return d.mountPoint.find('\\') != std::string::npos || holds(line, d.mountPoint) ||
           holds(line, "\\x");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t cut = input.find('\0');
    const std::string_view drives = input.substr(0, cut);
    const std::string_view free = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

    DriveReport report = parseDrives(drives);
    FUZZ_CHECK(report.devices.size() <= static_cast<size_t>(kMaxDeviceRows));
    if (report.devices.size() < static_cast<size_t>(kMaxDeviceRows))
        FUZZ_CHECK(report.found == (holds(drives, "\n- DRIVES") || drives.starts_with("- DRIVES")));

    // Each device matched against the lsblk lines in order.
    const auto lsblk = linesOf(drives);
    size_t at = 0;
    for (const Device& d : report.devices) {
        FUZZ_CHECK(d.name.starts_with("sd") || d.name.starts_with("hd"));
        FUZZ_CHECK(d.name.find('/') == std::string::npos);
        while (at < lsblk.size() && !readFrom(d, lsblk[at])) ++at;
        FUZZ_CHECK(at < lsblk.size());
        ++at;
    }

    joinUsage(report, free);
    const auto df = linesOf(free);
    for (const Device& d : report.devices) {
        const std::string source = "/dev/" + d.name;
        std::string_view first;
        bool named = false;
        for (const std::string_view l : df)
            if (l.substr(0, l.find(' ')) == source) {
                first = l;
                named = true;
                break;
            }
        FUZZ_CHECK(named != d.usage.empty());
        if (!named) continue;
        // The figures are that line's, and that line names this device only.
        FUZZ_CHECK(holds(first, d.usage));
        FUZZ_CHECK(d.usage.substr(0, d.usage.find(' ')) == source);
    }
    return 0;
}
