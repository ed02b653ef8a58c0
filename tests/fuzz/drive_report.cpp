// The lsblk and df -h readers on any two texts (split at the first NUL): each device named by its own lsblk
// line, in order, at most kMaxDeviceRows; its df figures from the first df line naming exactly it.
#include "disks/drive_report.h"
#include "fuzz_check.h"

using namespace kestrel;

static std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        const std::string_view l = text.substr(start, end - start);
        lines.push_back(l.ends_with('\r') ? l.substr(0, l.size() - 1) : l);
    }
    return lines;
}

static bool holds(std::string_view line, std::string_view piece) { return line.find(piece) != std::string_view::npos; }
static std::string_view firstWord(std::string_view line) { return line.substr(0, line.find(' ')); }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzText(data, size);
    const size_t cut = input.find('\0');
    const std::string_view drives = input.substr(0, cut), free = cut == std::string_view::npos ? "" : input.substr(cut + 1);

    DriveReport report = parseDrives(drives);
    const size_t most = kMaxDeviceRows;
    FUZZ_CHECK(report.devices.size() < most ? report.found == (holds(drives, "\n- DRIVES") || drives.starts_with("- DRIVES"))
                                            : report.devices.size() == most);
    const auto lsblk = linesOf(drives);
    size_t at = 0;
    for (const Device& d : report.devices) {
        const auto listed = {"sd", "hd", "nvme", "vd", "mmcblk"};  // disks only: no loop, no optical drive
        FUZZ_CHECK(std::any_of(listed.begin(), listed.end(), [&](const char* p) { return d.name.starts_with(p); }) &&
                   !holds(d.name, "/"));
        while (at < lsblk.size() && firstWord(lsblk[at]) != d.name) ++at;
        FUZZ_CHECK(at++ < lsblk.size());
    }

    joinUsage(report, free);
    const auto df = linesOf(free);
    for (const Device& d : report.devices) {
        const std::string source = "/dev/" + d.name;
        const auto first = std::find_if(df.begin(), df.end(), [&](auto l) { return firstWord(l) == source; });
        // The figures are that line's, and that line names this device only.
        FUZZ_CHECK(first == df.end() ? d.usage.empty() : holds(*first, d.usage) && firstWord(d.usage) == source);
    }
    return 0;
}
