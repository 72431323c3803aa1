// The steps of a walk as the test browser takes them on its command line: times, holds until a
// window is shown or a line logged, and the usual dialogs answered (WalkSteps_win.cpp).
#pragma once

#include <string>
#include <vector>

#include "StackBuilder.h"

namespace browsertest {

// The walks' arguments: more appended, and Save at the time over the original (the plug-in may
// ask, 2340), its file copied to the path when the page closes; a stack from the web, which
// asks where to save it, is saved as that path (the test browser answers its Save As dialog).
void Append(std::vector<std::string>& to, const std::vector<std::string>& more);
// The time of an action held until the Nth window of that title was shown, and ms after:
// "@shown:TITLE#N+MS" ("menu" names a menu).
// nth kNextShown: the first showing after the action came due, for a window the step before
// opens (a menu after a right-click).
inline constexpr int kNextShown = 0;
std::string OnceShown(const std::string& title, int ms, int nth = 1);
// The same held until the first line of the log holding the text was written, and ms after:
// "@logged:TEXT+MS" (a stream's end, an alert answered).
std::string OnceLogged(const std::string& text, int ms);
std::vector<std::string> SaveAt(int ms, const std::string& copy);
// A file dialog of that title answered: the path typed in its "File name:" box at ms, and its
// button ("Save", "Open") pressed gap ms later. Save As's own ("Please name this Stack"), Open's
// ("Please select a stack"), and a picture file chosen from the Picture Source dialog at ms:
// "Disk file", OK 200 ms on, and the path given to its Open dialog ("Please select a picture
// file") 700 ms on.
std::vector<std::string> FileDialogAt(const std::string& title, const std::string& path, const std::string& button, int ms,
                                      int gap = 200);
std::vector<std::string> SaveAsDialogAt(const std::string& path, int ms, int gap = 200);
std::vector<std::string> OpenDialogAt(const std::string& path, int ms, int gap = 200);
std::vector<std::string> PictureFileAt(const std::string& path, int ms);
// From ms on: the object tools (shift+Tab), a right click on the object at the point ("X,Y") and
// the "Actions" dialog chosen by keys from its menu, once that menu is up.
std::vector<std::string> OpenActionsAt(const std::string& point, int ms);

// The time of a step: "@MS".
std::string At(int ms);
// The middle of a rectangle as the test browser takes a point ("X,Y").
std::string Centre(const stackbuilder::Rect& r);
// A walk's arguments on a clock (for a walk in order): each step at its time, the next a gap
// later; a held step waits for the nth showing of the window of that title, and the clock goes on
// from the step before.
struct TimedWalk {
    std::vector<std::string> args;
    int ms = 1200;
    void Step(const std::string& flag, const std::string& value, int gap) {
        Append(args, {flag, value + At(ms)});
        ms += gap;
    }
    void Held(const std::string& flag, const std::string& value, const std::string& title, int afterMs, int gap, int nth = 1) {
        Append(args, {flag, value + OnceShown(title, afterMs, nth)});
        ms += gap;
    }
    void Command(int id) { Step("--command", std::to_string(id), 500); }
    void Click(const stackbuilder::Rect& r) { Step("--click", Centre(r), 400); }
    void Key(const std::string& keys) { Step("--key", keys, 400); }
    void KeyInto(const std::string& title, const std::string& keys, int nth = 1) { Held("--key", keys, title, 300, 400, nth); }
    void Dialog(const std::string& title, const std::string& control, const std::string& action) {
        Step("--dialog", title + "|" + control + "|" + action, 400);
    }
    void Press(const std::string& title, const std::string& control) { Dialog(title, control, "press"); }
    void Cancel(const std::string& title) { Press(title, "Cancel"); }
};

}  // namespace browsertest
