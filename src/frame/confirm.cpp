#include "frame/confirm.h"

#include <algorithm>
#include <span>

#include "screen/press_repeat.h"

namespace kestrel {

namespace {

using Unit = HitArea::Unit;

struct KeyAnswer {
    int key;  // upper-case character
    Answer answer;
};

struct ConfirmationInstance {
    Confirmation which;
    int sleepBeforeMouseMs;
    int sleepBeforeKeyMs;
    std::span<const Target> targets;  // tested in order
    std::span<const KeyAnswer> keys;
};

constexpr Target kYesNoTargets[] = {{Answer::Yes, kYesButton.hit()}, {Answer::No, kNoButton.hit()}};
constexpr Target kFourButtonTargets[] = {{Answer::Yes, kYesButton.hit()},
                                         {Answer::No, kNoButton.hit()},
                                         {Answer::Options, kOptionsButton.hit()},
                                         {Answer::Buffer, kBufferButton.hit()}};
constexpr Target kChooserTargets[] = {{Answer::View, {26, 20, 30, Unit::Columns}},
                                      {Answer::Run, {26, 36, 45, Unit::Columns}},
                                      {Answer::Cancel, {26, 51, 58, Unit::Columns}}};

constexpr KeyAnswer kPasteAllKeys[] = {
    {'Y', Answer::Yes}, {'N', Answer::No}, {ch::Esc, Answer::No}, {'O', Answer::Options}, {'B', Answer::Buffer}};
constexpr KeyAnswer kKillAllKeys[] = {
    {'Y', Answer::Yes}, {'N', Answer::No}, {'O', Answer::Options}, {'B', Answer::Buffer}, {ch::Esc, Answer::No}};
constexpr KeyAnswer kYesNoKeys[] = {{'Y', Answer::Yes}, {'N', Answer::No}, {ch::Esc, Answer::No}};
constexpr KeyAnswer kChooserKeys[] = {
    {'V', Answer::View}, {'R', Answer::Run}, {'C', Answer::Cancel}, {ch::Esc, Answer::Cancel}};

constexpr ConfirmationInstance kConfirmations[] = {
    {Confirmation::PasteAll, 50, 50, kFourButtonTargets, kPasteAllKeys},
    {Confirmation::KillAll, 50, 50, kFourButtonTargets, kKillAllKeys},
    {Confirmation::KillFile, 0, 0, kYesNoTargets, kYesNoKeys},
    {Confirmation::RemoveDirectory, 0, 0, kYesNoTargets, kYesNoKeys},
    {Confirmation::ExecChooser, 0, 0, kChooserTargets, kChooserKeys},
};

// The dialogs that poll without a pause of their own still rest this long
// per pass, so an open dialog does not keep a core busy.
constexpr int kShortestPassMs = 10;
constexpr int kDeclineByKeyMs = 50;

const ConfirmationInstance& instanceOf(Confirmation which) {
    for (const auto& inst : kConfirmations)
        if (inst.which == which) return inst;
    return kConfirmations[0];
}

const KeyAnswer* answerFor(std::span<const KeyAnswer> keys, Key k) {
    const int c = k.upper();
    if (c < 0) return nullptr;
    for (const KeyAnswer& row : keys)
        if (row.key == c) return &row;
    return nullptr;
}

Answer settle(App& app, Answer answer) {
    if (answer == Answer::Options) app.optionsToggle = 1 - app.optionsToggle;
    return answer;
}

}  // namespace

Answer confirm(App& app, Confirmation which, bool* byPress) {
    Screen& s = app.screen;
    const ConfirmationInstance& inst = instanceOf(which);
    // The press that opened the dialog (or chose Options a moment ago) is
    // not a new answer: holding it on a button must not answer twice.
    PressRepeat press;
    press.begin(s.peekMouse());
    for (;;) {
        s.sleep(std::max(inst.sleepBeforeMouseMs, kShortestPassMs));
        const MouseState m = s.pollMouse();
        if (!m.valid) continue;
        app.lastWheel = m.wheel;
        app.kept = m;
        if (press.acts(m.buttons & 3, s.nowMs()))
            if (const Target* t = hitTarget(inst.targets, m.x, m.y)) {
                if (byPress) *byPress = true;
                return settle(app, t->answer);
            }
        s.sleep(inst.sleepBeforeKeyMs);
        if (const KeyAnswer* row = answerFor(inst.keys, s.pollKey())) {
            if (row->answer == Answer::No || row->answer == Answer::Cancel) s.sleep(kDeclineByKeyMs);
            if (byPress) *byPress = false;
            return settle(app, row->answer);
        }
    }
}

void openFourButtonPanel(App& app) {
    app.optionsToggle = 0;
    openDialogPanel(app, PanelDelay::Settle);
}

void showFourButtonChoices(App& app, const std::string& commandLine, const char* bufferLabel) {
    Screen& s = app.screen;
    s.setColors(1, 15);
    printCentred(s, 27, 39, commandLine);
    drawFourButtons(s, bufferLabel);
}

Next cancelToBrowser(App& app) {
    Screen& s = app.screen;
    app.selectedPath = app.savedDirectoryPath;
    s.setPages(0, 0);
    s.setColors(0, app.backgroundColour);
    return Next::Reload;
}

}  // namespace kestrel
