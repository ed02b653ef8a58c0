#include "disks/drive_report.h"

#include <algorithm>
#include <cctype>

namespace kestrel {

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string_view trimmed(std::string_view s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Characters [from, to) of a line, never past its end.
std::string_view slice(std::string_view line, size_t from, size_t to) {
    if (from >= line.size() || to <= from) return {};
    return line.substr(from, to - from);
}

std::string_view firstWord(std::string_view s) { return s.substr(0, s.find(' ')); }

// Where the header's titles stand. lsblk leaves the titles of TYPE,
// MOUNTPOINT and TRAN at the left edge of their columns; a report without a
// usable header is read in the layout of Kestrel's own header.
struct Fields {
    size_t type = 6, mount = 47, mountEnd = 67;
};

Fields fieldsOf(std::string_view header) {
    std::vector<std::pair<std::string_view, size_t>> titles;
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] != ' ' && (i == 0 || header[i - 1] == ' ')) titles.emplace_back(firstWord(header.substr(i)), i);
    Fields f;
    bool type = false, mount = false;
    for (size_t t = 0; t < titles.size(); ++t) {
        if (titles[t].first == "TYPE") {
            f.type = titles[t].second;
            type = true;
        } else if (titles[t].first == "MOUNTPOINT") {
            f.mount = titles[t].second;
            f.mountEnd = t + 1 < titles.size() ? titles[t + 1].second : std::string_view::npos;
            mount = true;
        }
    }
    return type && mount ? f : Fields{};
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// lsblk writes bytes it cannot show as \xHH (a backslash itself as \x5c).
std::string decodeEscapes(std::string_view s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' && hexValue(s[i + 2]) >= 0 &&
            hexValue(s[i + 3]) >= 0) {
            out += static_cast<char>(hexValue(s[i + 2]) * 16 + hexValue(s[i + 3]));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

// SCSI/SATA and IDE disks, and the disks of today's machines: NVMe, virtio
// (virtual machines) and SD/MMC cards. Loop devices and optical drives (sr)
// stay out.
constexpr std::string_view kListedPrefixes[] = {"sd", "hd", "nvme", "vd", "mmcblk"};

bool isListedName(std::string_view name) {
    // A kernel name never holds "/"; one that does would lead "/mnt/" + name
    // somewhere else entirely.
    if (name.find('/') != std::string_view::npos) return false;
    for (std::string_view prefix : kListedPrefixes)
        if (name.starts_with(prefix)) return true;
    return false;
}

std::string listRow(std::string_view line) {
    std::string row(slice(line, 0, 72));
    row.resize(72, ' ');
    row += line.find("running") != std::string_view::npos ? "    1 " : "    0 ";
    return row;
}

}  // namespace

bool isViewableMountPoint(const std::string& mountPoint) { return mountPoint.starts_with("/"); }

DriveReport parseDrives(std::string_view drivesText) {
    DriveReport report;
    Fields fields;
    const auto lines = splitLines(drivesText);
    for (size_t i = 0; i < lines.size() && report.devices.size() < kMaxDeviceRows; ++i) {
        const std::string_view line = lines[i];
        if (line.starts_with("- DRIVES")) {
            report.found = true;
            report.header = i + 1 < lines.size() ? std::string(lines[++i]) : std::string();
            fields = fieldsOf(report.header);
            continue;
        }
        const std::string_view name = firstWord(line);
        if (!isListedName(name)) continue;
        Device d;
        d.name = std::string(name);
        d.type = std::string(firstWord(slice(line, fields.type, line.size())));
        d.mountPoint = decodeEscapes(trimmed(slice(line, fields.mount, fields.mountEnd)));
        d.row = listRow(line);
        report.devices.push_back(std::move(d));
    }
    return report;
}

void joinUsage(DriveReport& report, std::string_view freeText) {
    for (const std::string_view line : splitLines(freeText)) {
        std::string first(line.substr(0, 10));
        std::transform(first.begin(), first.end(), first.begin(), [](unsigned char c) { return std::toupper(c); });
        if (first == "FILESYSTEM") {
            report.usageHeader = std::string(line);
            continue;
        }
        const std::string_view source = firstWord(line);
        if (!source.starts_with("/dev/")) continue;
        for (Device& d : report.devices)
            if (d.usage.empty() && source.substr(5) == d.name) d.usage = std::string(trimmed(line));
    }
}

}  // namespace kestrel
