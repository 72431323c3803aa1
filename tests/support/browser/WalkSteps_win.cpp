// The steps of a walk (WalkSteps_win.h).
#include "tests/support/browser/WalkSteps_win.h"

namespace browsertest {

namespace sb = stackbuilder;

void Append(std::vector<std::string>& to, const std::vector<std::string>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

std::string OnceShown(const std::string& title, int ms, int nth) {
    const std::string which = nth == kNextShown ? "#next" : nth > 1 ? "#" + std::to_string(nth) : "";
    return "@shown:" + title + which + "+" + std::to_string(ms);
}

std::string OnceLogged(const std::string& text, int ms) { return "@logged:" + text + "+" + std::to_string(ms); }

std::vector<std::string> SaveAt(int ms, const std::string& copy) {
    return {"--command", "102@" + std::to_string(ms), "--answer-alert", "2340:2", "--save-copy", copy};
}

std::vector<std::string> FileDialogAt(const std::string& title, const std::string& path, const std::string& button, int ms,
                                      int gap) {
    return {"--dialog", title + "|File name:|type:" + path + "@" + std::to_string(ms), "--dialog",
            title + "|" + button + "|press@" + std::to_string(ms + gap)};
}

std::vector<std::string> SaveAsDialogAt(const std::string& path, int ms, int gap) {
    return FileDialogAt("Please name this Stack", path, "Save", ms, gap);
}

std::vector<std::string> OpenDialogAt(const std::string& path, int ms, int gap) {
    return FileDialogAt("Please select a stack", path, "Open", ms, gap);
}

std::vector<std::string> PictureFileAt(const std::string& path, int ms) {
    std::vector<std::string> steps = {"--dialog", "Picture Source|Disk file|check@" + std::to_string(ms), "--dialog",
                                      "Picture Source|OK|press@" + std::to_string(ms + 200)};
    Append(steps, FileDialogAt("Please select a picture file", path, "Open", ms + 700));
    return steps;
}

std::vector<std::string> OpenActionsAt(const std::string& point, int ms) {
    return {"--key", "shift+Tab@" + std::to_string(ms), "--right-click", point + "@" + std::to_string(ms + 400),
            "--key", "Down Down Down Down Down Return" + OnceShown("menu", 400, kNextShown)};
}

std::string At(int ms) { return "@" + std::to_string(ms); }

std::string Centre(const sb::Rect& r) {
    return std::to_string((r.left + r.right) / 2) + "," + std::to_string((r.top + r.bottom) / 2);
}

}  // namespace browsertest
