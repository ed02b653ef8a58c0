#include <gtest/gtest.h>

#include "extern/programs.h"

using namespace kestrel;

// The extension includes its dot and must end the whole path, in any case;
// a dotted directory lends nothing to a file without one.
TEST(ProgramFor, MatchesBySuffixOfTheWholePathIgnoringCase) {
    const std::pair<const char*, std::string_view> cases[] = {
        {"/home/ann/notes.TXT", kTextEditor}, {"/home/ann/movie.h264", kMediaPlayer}, {"/a/archive.tar.gz", kArchiver},
        {"/home/ann/REPORT.PDF", kPdfViewer}, {"/home/ann/photo.Bmp", kImageEditor},  {"/a/photo.tiff", kImageViewer},
        {"/home/ann/page.htm", kHtmlEditor},  {"/home/ann/song.midi", kSoundPlayer},  {"/a/sheet.ods", kSpreadsheet},
        {"/a/letter.abw", kWordProcessor},    {"/a/backup.tgz", kArchiver},           {"/src/main.h", kTextEditor},
        {"/a/letter.doc", kWordProcessor},    {".h", kTextEditor},                    {"/home/ann/pdf", "none"},
        {"/a/file.pdf.bak", "none"},          {"/home/ann/x.cpp", "none"},            {"/a/pack.gzip", "none"},
        {"/a/project.txt/README", "none"},    {"/home/ann/v1.2/Makefile", "none"},    {"", "none"},
    };
    for (const auto& [path, program] : cases) {
        const auto group = programFor(path);
        EXPECT_EQ(group ? group->program : std::string_view("none"), program) << path;
    }
    EXPECT_EQ(programFor("/home/ann/song.ogg")->shownName, "aplay audio ");
}
