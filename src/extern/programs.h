#pragma once
// The programs Kestrel opens files with. The installation provides them under
// /usr/local/bin; each is called with one argument, a file's full path, and is
// expected to return when the user has closed the file. Whether they are
// installed is not checked beforehand: a missing one leaves the shell's
// complaint on standard error, and where Kestrel waits for a result (the
// archiver, the editor of the buffer list) its first line on the message row.
#include <array>
#include <optional>
#include <string_view>

namespace kestrel {

inline constexpr std::string_view kPdfViewer = "/usr/local/bin/defaultpdfviewer";
inline constexpr std::string_view kMediaPlayer = "/usr/local/bin/defaultmediaplayer";
inline constexpr std::string_view kTextEditor = "/usr/local/bin/defaulttexteditor";
inline constexpr std::string_view kHtmlEditor = "/usr/local/bin/defaulthtmleditor";
inline constexpr std::string_view kImageViewer = "/usr/local/bin/defaultimageviewer";
inline constexpr std::string_view kImageEditor = "/usr/local/bin/defaultimageeditor";
inline constexpr std::string_view kSpreadsheet = "/usr/local/bin/defaultspreadsheet";
inline constexpr std::string_view kWordProcessor = "/usr/local/bin/defaultwordprocessor";
inline constexpr std::string_view kArchiver = "/usr/local/bin/defaultarchiver";
// Sound files go to the system's player, found through PATH by the shell.
inline constexpr std::string_view kSoundPlayer = "aplay";

// One group of file extensions and the program that opens them. Extensions
// are written with their leading "." and separated by single blanks, so a row
// reads like the table of groups. shownName is the text printed on the status
// row while the program runs.
struct ExtensionGroup {
    std::string_view extensions;
    std::string_view shownName;
    std::string_view program;
};

// In matching order. ".gz" stands twice in the archive group, as it always
// has; the second never changes the outcome. Bitmaps go to the image editor,
// every other image to the viewer.
inline constexpr std::array<ExtensionGroup, 10> kExtensionGroups{{
    {".pdf", "defaultpdfviewer ", kPdfViewer},
    {".mp4 .h264 .avi .mov", "defaultmediaplayer ", kMediaPlayer},
    {".txt .bas .log .c .h .sh .bat", "defaulttexteditor ", kTextEditor},
    {".html .htm", "defaulthtmleditor ", kHtmlEditor},
    {".gif .ico .png .jpeg .xpm .jpg .tif .tiff .svg", "defaultimageviewer ", kImageViewer},
    {".bmp", "defaultimageeditor ", kImageEditor},
    {".wav .mp3 .mid .aif .midi .cda .wma .ogg", "aplay audio ", kSoundPlayer},
    {".xls .csv .ods", "defaultspreadsheet ", kSpreadsheet},
    {".doc .wpd .rtf .odt .abw", "defaultwordprocessor ", kWordProcessor},
    {".zip .s7z .7z .gz .tar.gz .tgz .zz .gz .tar", "defaultarchiver ", kArchiver},
}};

// The first group with an extension that is a suffix of the whole path,
// compared in lower case (so "REPORT.PDF" and "archive.tar.gz" match), or
// none. Every extension begins with "." and only ".tar.gz" holds a second
// one, in the same group as ".gz", so no path can match two groups: the first
// match is the only one.
std::optional<ExtensionGroup> programFor(std::string_view path);

}  // namespace kestrel
