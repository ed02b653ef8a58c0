#include "frame/exec_chooser.h"

#include <string_view>

#include "frame/confirm.h"

namespace kestrel {

namespace {

struct Label {
    int row, col;
    const char* text;
};

constexpr Label kChooserLabels[] = {{26, 20, " View file "}, {26, 36, " Run file "}, {26, 51, " Cancel "}};

void drawChooser(App& app, const std::string& path) {
    Screen& s = app.screen;
    s.setColors(0, app.backgroundColour);
    s.locate(27, 2);
    s.printText(path, 78);
    openDialogPanel(app);
    s.setColors(15, 1);
    for (const Label& l : kChooserLabels) {
        s.locate(l.row, l.col);
        s.print(l.text);
    }
    printPathLine(app, path);
}

}  // namespace

ExecChoice chooseExecutable(App& app, const std::string& path, bool* viewByMouse) {
    drawChooser(app, path);
    bool pressed = false;
    const Answer answer = confirm(app, Confirmation::ExecChooser, &pressed);
    if (viewByMouse) *viewByMouse = answer == Answer::View && pressed;
    switch (answer) {
        case Answer::View: return ExecChoice::View;
        case Answer::Run: return ExecChoice::Run;
        default: return ExecChoice::Cancel;
    }
}

}  // namespace kestrel
