#include <gtest/gtest.h>

#include "extern/programs.h"

using namespace kestrel;

namespace {

std::string_view programOf(std::string_view path) {
    const auto group = programFor(path);
    return group ? group->program : std::string_view("none");
}

}  // namespace

TEST(ProgramFor, MatchesBySuffixOfTheWholePathIgnoringCase) {
    EXPECT_EQ(programOf("/home/ann/notes.TXT"), kTextEditor);
    EXPECT_EQ(programOf("/home/ann/movie.h264"), kMediaPlayer);
    EXPECT_EQ(programOf("/home/ann/archive.tar.gz"), kArchiver);
    EXPECT_EQ(programOf("/home/ann/REPORT.PDF"), kPdfViewer);
    EXPECT_EQ(programOf("/home/ann/photo.Bmp"), kImageEditor);
    EXPECT_EQ(programOf("/home/ann/photo.tiff"), kImageViewer);
    EXPECT_EQ(programOf("/home/ann/page.htm"), kHtmlEditor);
    EXPECT_EQ(programOf("/home/ann/song.midi"), kSoundPlayer);
    EXPECT_EQ(programOf("/home/ann/sheet.ods"), kSpreadsheet);
    EXPECT_EQ(programOf("/home/ann/letter.abw"), kWordProcessor);
    EXPECT_EQ(programOf("/home/ann/backup.tgz"), kArchiver);
    EXPECT_EQ(programOf("/src/main.c"), kTextEditor);
    EXPECT_EQ(programOf("/src/main.h"), kTextEditor);
    EXPECT_EQ(programFor("/home/ann/song.ogg")->shownName, "aplay audio ");
    EXPECT_EQ(programFor("/home/ann/a.pdf")->shownName, "defaultpdfviewer ");

    // The extension includes its dot, and it must end the path.
    EXPECT_EQ(programOf("/home/ann/letter.doc"), kWordProcessor);  // not ".c"
    EXPECT_EQ(programOf("/home/ann/pdf"), "none");
    EXPECT_EQ(programOf("/home/ann/file.pdf.bak"), "none");
    EXPECT_EQ(programOf("/home/ann/x.cpp"), "none");
    EXPECT_EQ(programOf("/home/ann/pack.gzip"), "none");
    // A dotted directory does not lend its extension to a file without one.
    EXPECT_EQ(programOf("/home/ann/project.txt/README"), "none");
    EXPECT_EQ(programOf("/home/ann/v1.2/Makefile"), "none");
    EXPECT_EQ(programOf(""), "none");
    EXPECT_EQ(programOf(".h"), kTextEditor);
}
