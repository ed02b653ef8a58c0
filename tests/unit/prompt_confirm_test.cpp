// The dialog panel, its centred lines and buttons, and the confirmation
// loop's answers (the questions, labels and the way back are pinned by the
// paste and kill scenarios).
#include <gtest/gtest.h>

#include <tuple>

#include "app/confirm.h"
#include "prompt_rig.h"

using namespace kestrel;
using namespace kestrel::test;

TEST(Dialog, CentredLinesPanelAndButtons) {
    PromptRig p;
    Screen& s = p.screen();
    // 40 - 3.5 = 36.5 and 39 - 3.5 = 35.5 both round to the even 36.
    const int cases[][3] = {{40, 7, 36}, {39, 7, 36}, {39, 8, 35}, {40, 9, 36}, {39, 9, 34}};
    for (const auto& c : cases) EXPECT_EQ(centredStart(c[0], c[1]), c[2]) << c[0] << "," << c[1];
    s.setColors(1, 15);
    printCentred(s, 10, 40, "seven!!");
    EXPECT_EQ(p.text(10, 35, 9), " seven!! ");
    EXPECT_EQ(p.cell(10, 36), (CellRead{'s', 1, 15}));
    // Too long to centre: from column 1, cut after 78 characters.
    printCentred(s, 12, 39, std::string(77, 'a') + "bcd");
    EXPECT_EQ(p.text(12, 1, 80) + p.text(13, 1, 1), std::string(77, 'a') + "b   ");

    // The panel's outline and inside, the browser above it, page 0 untouched.
    openDialogPanel(p.app, PanelDelay::Settle);
    drawFourButtons(s, kKillBufferLabel);
    EXPECT_EQ((std::vector<int>{s.visiblePage(), s.pixel(2, 6, 375), s.pixel(2, 634, 470), s.pixel(2, 7, 376),
                                s.pixel(2, 6, 374), s.pixel(0, 7, 376), s.pixel(2, 227, 445), s.pixel(2, 226, 445)}),
              (std::vector<int>{2, 0, 0, 15, 2, 2, 1, 15}));
    EXPECT_EQ(p.cell(29, 30), (CellRead{'Y', 15, 1}));
}

TEST(Dialog, ButtonHitsTestTheLabelRowAndTheBoxWidth) {
    const HitArea yes = kYesButton.hit(), no = kNoButton.hit(), options = kOptionsButton.hit(),
                  buffer = kBufferButton.hit();
    // Row 29 is y 449 to 463; the box's own top and bottom lie on rows 28 and 30.
    const std::tuple<const HitArea&, int, int, bool> cases[] = {
        {yes, 227, 455, true},     {yes, 260, 455, true},     {yes, 226, 455, false},    {yes, 261, 455, false},
        {yes, 240, 449, true},     {yes, 240, 463, true},     {yes, 240, 446, false},    {yes, 240, 464, false},
        {no, 360, 455, true},      {no, 389, 455, true},      {no, 359, 455, false},     {no, 390, 455, false},
        {options, 548, 392, true}, {options, 610, 392, true}, {options, 547, 392, false}, {options, 611, 392, false},
        {options, 580, 383, false}, {buffer, 508, 455, true}, {buffer, 610, 455, true},  {buffer, 507, 455, false},
        {buffer, 611, 455, false},
    };
    for (const auto& [area, x, y, held] : cases) EXPECT_EQ(area.holds(x, y), held) << x << "," << y;
}

TEST(Confirm, KeysPressesAndTheOptionsToggle) {
    const auto kill = Confirmation::KillFile, killAll = Confirmation::KillAll, pasteAll = Confirmation::PasteAll;
    // O is no key of a Yes/No dialog and is passed over there.
    for (const auto& [which, key, answer] :
         {std::tuple{kill, 'y', Answer::Yes}, {kill, 'N', Answer::No}, {kill, '\x1b', Answer::No},
          {Confirmation::RemoveDirectory, 'Y', Answer::Yes}, {pasteAll, '\x1b', Answer::No}, {killAll, 'b', Answer::Buffer},
          {pasteAll, 'B', Answer::Buffer}}) {
        PromptRig p;
        bool byPress = true;
        Script s = p.next();
        s.move(100, 100);
        if (which == kill) s.key('o').wait(60).key('v').wait(60);
        s.key(key);
        EXPECT_EQ(confirm(p.app, which, &byPress), answer) << key;
        EXPECT_FALSE(byPress);
    }
    for (const auto& [x, y, bit, answer] : {std::tuple{227, 455, 0, Answer::Yes}, {389, 455, 1, Answer::No},
                                            {610, 392, 0, Answer::Options}, {508, 455, 1, Answer::Buffer}}) {
        PromptRig p;
        bool byPress = false;
        p.next().click(x, y, bit);
        EXPECT_EQ(confirm(p.app, pasteAll, &byPress), answer) << x;
        EXPECT_TRUE(byPress);
    }
    // A Yes/No dialog has no Options button; the press falls to the key after it.
    PromptRig p;
    p.next().click(580, 392).wait(100).click(240, 446).wait(100).key('n');
    EXPECT_EQ(confirm(p.app, kill), Answer::No);

    p.app.optionsToggle = 1;  // left over from an earlier dialog
    openFourButtonPanel(p.app);
    EXPECT_EQ(p.app.optionsToggle, 0);
    for (const auto& [key, which, answer, toggle] : {std::tuple{'o', pasteAll, Answer::Options, 1}, {'O', killAll, Answer::Options, 0},
                                                     {'\0', killAll, Answer::Options, 1}, {'y', killAll, Answer::Yes, 1}}) {
        key ? p.next().key(key) : p.next().click(580, 392);
        EXPECT_EQ(confirm(p.app, which), answer) << key;
        EXPECT_EQ(p.app.optionsToggle, toggle) << key;
    }
}
