// The dialogs the plug-in shows, watched from the page's timer (which fires inside the modal
// loops of the plug-in, all on this one thread): each is logged once with its title, place,
// owner, whether it is in front of the page and its controls; alerts are answered
// (--answer-alerts, --answer-alert), the --dialog actions done when due, and other dialogs and
// menus cancelled (--close-dialogs). What acts posts the click, so the dialog ends after this
// returns.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>

#include "TestBrowser.h"

namespace {

// How long a --dialog waits for its window to show; in a walk in order, as long as a held action.
constexpr DWORD kDialogPatienceMs = 3000, kInOrderPatienceMs = 10000;

enum class ActionState { Later, Waiting, Done };

struct Watch {
    HWND frame = nullptr;
    const BrowserOptions* options = nullptr;
    std::vector<size_t> order;  // the actions by their time
    std::vector<ActionState> states;
    std::vector<DWORD> dueSince;
    std::map<HWND, std::string> logged;  // shown and logged, not yet gone: their titles
    std::set<HWND> answered;  // alerts answered or dialogs closed, not yet gone
    std::vector<std::pair<std::string, DWORD>> showings;  // every window shown: title and when
    bool failed = false;
} g_watch;

std::string WindowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsDialogBox(HWND window) { return ClassOf(window) == "#32770"; }
bool IsMenuWindow(HWND window) { return ClassOf(window) == "#32768"; }
bool IsAlertBox(HWND window) { return GetPropA(window, "LoomAlertBox") != nullptr; }

// A control's text as a person reads it: without the '&' of its mnemonic, case ignored.
std::string Plain(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size() && text[i + 1] != '&')
            continue;
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
    }
    return out;
}

// A window's text for a log line: on one line, not too long.
std::string Shown(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    return text.size() > 40 ? text.substr(0, 40) + "..." : text;
}

// Whether `window` lies above `other` among the top-level windows.
bool IsInFrontOf(HWND window, HWND other) {
    for (HWND w = GetWindow(other, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == window)
            return true;
    return false;
}

// Who owns a box, for the log: the page's frame, another dialog by its caption, none, or another
// window by its class.
std::string OwnerName(HWND window) {
    const HWND owner = GetWindow(window, GW_OWNER);
    if (!owner)
        return "none";
    if (owner == g_watch.frame)
        return "page";
    return ClassOf(owner) == "#32770" ? "dialog(" + WindowText(owner) + ")" : ClassOf(owner);
}

// " owner=OWNER front=yes|no": front when the box lies in front of the frame and of its owner.
std::string Standing(HWND window) {
    const HWND owner = GetWindow(window, GW_OWNER);
    const bool front = IsInFrontOf(window, g_watch.frame) && (!owner || IsInFrontOf(window, owner));
    return " owner=" + OwnerName(window) + " front=" + (front ? "yes" : "no");
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The visible top-level windows of this thread but the page, in the order of the stack of
// windows (topmost first), then the dialog boxes the plug-in put inside the page's window.
std::vector<HWND> ShownWindows() {
    std::vector<HWND> all, shown;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND w : all)
        if (w != g_watch.frame && IsWindowVisible(w))
            shown.push_back(w);
    for (HWND c = g_watch.frame ? GetWindow(g_watch.frame, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
        if (IsDialogBox(c) && IsWindowVisible(c))
            shown.push_back(c);
    return shown;
}

std::vector<HWND> Controls(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog, CollectWindow, reinterpret_cast<LPARAM>(&controls));
    return controls;
}

// A popup menu's items, as "shown" lists a dialog's controls.
std::string MenuItems(HWND window) {
    const auto menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
    std::string items;
    const int count = menu ? GetMenuItemCount(menu) : 0;
    for (int i = 0; i < count; ++i) {
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
        if (state & MF_SEPARATOR)
            continue;
        items += " " + std::to_string(GetMenuItemID(menu, i)) + " \"" + Shown(text) + "\"" +
                 ((state & (MF_GRAYED | MF_DISABLED)) ? " (disabled)" : "") + ";";
    }
    if (!items.empty())
        items.pop_back();
    return items;
}

void LogShown(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    const std::string ownerName = OwnerName(window);
    std::string controls;
    for (HWND c : Controls(window))
        if (IsWindowVisible(c))
            controls += " " + std::to_string(GetDlgCtrlID(c)) + " " + ClassOf(c) + " \"" + Shown(WindowText(c)) + "\"" +
                        (ClassOf(c) == "Button" && SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED ? " (checked)" : "") +
                        ";";
    if (!controls.empty())
        controls.pop_back();
    if (ClassOf(window) == "#32768") {
        Logf("shown(menu) class=#32768 at %ld,%ld,%ld,%ld items:%s", r.left, r.top, r.right, r.bottom,
             MenuItems(window).c_str());
        return;
    }
    const unsigned alertId = static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetPropA(window, "LoomAlertId")));
    Logf("shown(%s) class=%s%s at %ld,%ld,%ld,%ld front=%s owner=%s controls:%s", WindowText(window).c_str(),
         ClassOf(window).c_str(), IsAlertBox(window) ? (" alert=" + std::to_string(alertId)).c_str() : "", r.left,
         r.top, r.right, r.bottom, IsInFrontOf(window, g_watch.frame) ? "yes" : "no", ownerName.c_str(),
         controls.c_str());
}

bool TitleMatches(const BrowserOptions::TimedDialogAction& a, HWND window) {
    return a.title == "*" ? IsDialogBox(window) : WindowText(window) == a.title;
}

// A --dialog that has not acted keeps its window from the other answers: from an alert's answer
// once it is due, from --close-dialogs from the start (a dialog may show before its action's time).
bool Reserved(HWND window, bool alsoLater) {
    for (size_t i = 0; i < g_watch.states.size(); ++i) {
        const ActionState state = g_watch.states[i];
        if ((state == ActionState::Waiting || (alsoLater && state == ActionState::Later)) &&
            TitleMatches(g_watch.options->dialogActions[i], window))
            return true;
    }
    return false;
}

void Fail(const char* format, const std::string& a, const std::string& b) {
    g_watch.failed = true;
    Logf(format, a.c_str(), b.c_str());
    std::fprintf(stderr, "testbrowser: ");
    std::fprintf(stderr, format, a.c_str(), b.c_str());
    std::fputc('\n', stderr);
}

bool IsClass(HWND window, const char* name) { return ClassOf(window) == name; }

bool SuitsVerb(HWND control, BrowserOptions::DialogVerb verb) {
    using Verb = BrowserOptions::DialogVerb;
    switch (verb) {
    case Verb::Press: case Verb::Check: case Verb::Uncheck:
        return IsClass(control, "Button");
    case Verb::Type:
        return IsClass(control, "Edit") || IsClass(control, "ComboBox");
    case Verb::Choose:
        return IsClass(control, "ListBox") || IsClass(control, "ComboBox");
    case Verb::Mouse:
        return true;
    }
    return false;
}

// The control an action names: an id, else a text; a label's text names the control after it
// in the tab order.
HWND FindControl(HWND dialog, const BrowserOptions::TimedDialogAction& a) {
    const bool number = !a.control.empty() && std::all_of(a.control.begin(), a.control.end(),
                                                          [](char c) { return c >= '0' && c <= '9'; });
    const std::vector<HWND> controls = Controls(dialog);
    if (number) {
        const int id = std::atoi(a.control.c_str());
        for (HWND c : controls)
            if (GetDlgCtrlID(c) == id && IsWindowVisible(c))
                return c;
        for (HWND c : controls)
            if (GetDlgCtrlID(c) == id)
                return c;
        return nullptr;
    }
    const std::string wanted = Plain(a.control);
    std::vector<HWND> named;
    for (HWND c : controls)
        if (IsWindowVisible(c) && Plain(WindowText(c)) == wanted)
            named.push_back(c);
    for (HWND c : named)
        if (SuitsVerb(c, a.verb))
            return c;
    // A label: the first control after it that suits, or that holds one (the combo box of a
    // file dialog's name sits in a ComboBoxEx32).
    for (HWND c : named) {
        if (!IsClass(c, "Static") && !IsClass(c, "Button"))
            continue;
        for (HWND next = GetWindow(c, GW_HWNDNEXT); next; next = GetWindow(next, GW_HWNDNEXT)) {
            if (!IsWindowVisible(next))
                continue;
            if (SuitsVerb(next, a.verb))
                return next;
            for (HWND inner : Controls(next))
                if (IsWindowVisible(inner) && SuitsVerb(inner, a.verb))
                    return inner;
        }
    }
    return named.empty() ? nullptr : named.front();
}

void Notify(HWND dialog, HWND control, WORD code) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

// Does the action; empty, or why it could not.
std::string Act(HWND dialog, HWND control, const BrowserOptions::TimedDialogAction& a) {
    using Verb = BrowserOptions::DialogVerb;
    if (!IsWindowEnabled(control))
        return "the control is disabled";
    const bool combo = IsClass(control, "ComboBox");
    switch (a.verb) {
    case Verb::Press:
        PostMessageA(control, BM_CLICK, 0, 0);  // the button's own press and release
        return {};
    case Verb::Check:
    case Verb::Uncheck: {
        const bool checked = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        const LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
        const bool radio = type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        if (a.verb == Verb::Uncheck && radio && checked)
            return "a radio button is unchecked by checking another";
        if (checked != (a.verb == Verb::Check))
            PostMessageA(control, BM_CLICK, 0, 0);
        return {};
    }
    case Verb::Type: {
        if (!SuitsVerb(control, a.verb))
            return "not a text box: " + ClassOf(control);
        // A combo box is typed into through its edit box, which tells the combo box, which
        // tells the dialog, as keys would.
        HWND box = control;
        if (combo)
            for (HWND inner : Controls(control))
                if (IsClass(inner, "Edit"))
                    box = inner;
        SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(a.text.c_str()));
        if (combo && box == control)
            Notify(dialog, control, CBN_EDITCHANGE);
        return {};
    }
    case Verb::Mouse:
        SendMouseAction(control, a.mouse);
        return {};
    case Verb::Choose: {
        if (!SuitsVerb(control, a.verb))
            return "not a list: " + ClassOf(control);
        const LRESULT index = SendMessageA(control, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT,
                                           static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(a.text.c_str()));
        if (index < 0) {
            std::string items;
            const LRESULT count = SendMessageA(control, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count && i < 40; ++i) {
                char item[256] = {};
                if (SendMessageA(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, i, 0) < LRESULT(sizeof item))
                    SendMessageA(control, combo ? CB_GETLBTEXT : LB_GETTEXT, i, reinterpret_cast<LPARAM>(item));
                items += std::string(i ? ", \"" : "\"") + item + "\"";
            }
            return "no item \"" + a.text + "\" among " + items;
        }
        const LONG style = GetWindowLongA(control, GWL_STYLE);
        if (combo)
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
        else if (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL))
            SendMessageA(control, LB_SETSEL, TRUE, index);
        else
            SendMessageA(control, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        Notify(dialog, control, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
        return {};
    }
    }
    return "unknown action";
}

void CloseDialog(HWND window);
void AnswerAlert(HWND window);

// A dialog whose action cannot be done is closed (an alert answered), so that the run goes on
// to its end and reports the miss instead of waiting on the dialog.
void GiveUpOn(HWND dialog) {
    if (!g_watch.answered.insert(dialog).second)
        return;
    if (IsAlertBox(dialog))
        AnswerAlert(dialog);
    else
        CloseDialog(dialog);
}

// Tries the action; false while its window has yet to show.
bool TryAction(size_t index, const std::vector<HWND>& shown) {
    const BrowserOptions::TimedDialogAction& a = g_watch.options->dialogActions[index];
    HWND dialog = nullptr;
    for (HWND w : shown)
        if (TitleMatches(a, w)) {
            dialog = w;
            break;
        }
    if (!dialog) {
        if (GetTickCount() - g_watch.dueSince[index] <
            (g_watch.options->inOrder ? kInOrderPatienceMs : kDialogPatienceMs))
            return false;
        std::string titles;
        for (HWND w : shown)
            titles += (titles.empty() ? "\"" : ", \"") + WindowText(w) + "\"";
        g_watch.states[index] = ActionState::Done;
        Fail("dialog-action(%s) -> no such window; shown: %s", a.spec, titles.empty() ? "none" : titles);
        return true;
    }
    g_watch.states[index] = ActionState::Done;  // before acting: what it sends may run a loop that watches
    HWND control = FindControl(dialog, a);
    if (!control) {
        Fail("dialog-action(%s) -> no such control in \"%s\"", a.spec, WindowText(dialog));
        GiveUpOn(dialog);
        return true;
    }
    const std::string problem = Act(dialog, control, a);
    if (!problem.empty()) {
        Fail("dialog-action(%s) -> %s", a.spec, problem);
        GiveUpOn(dialog);
        return true;
    }
    Logf("dialog-action(%s) -> %s %d \"%s\"", a.spec.c_str(), ClassOf(control).c_str(), GetDlgCtrlID(control),
         Shown(WindowText(control)).c_str());
    return true;
}

// --close-dialogs: the dialog is logged with its caption, its place on the screen and, for a
// file dialog, the name in its file name box, then cancelled.
void CloseDialog(HWND window) {
    char caption[256] = {}, name[MAX_PATH] = {};
    GetWindowTextA(window, caption, sizeof caption);
    // The file name box of an Explorer-style file dialog: a combo box (cmb13), or an edit (edt1).
    if (!GetDlgItemTextA(window, 1148, name, sizeof name))
        GetDlgItemTextA(window, 1152, name, sizeof name);
    RECT r = {};
    GetWindowRect(window, &r);
    Logf("dialog(%s) at %ld,%ld,%ld,%ld name=%s%s", caption, r.left, r.top, r.right, r.bottom, name,
         Standing(window).c_str());
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, IDCANCEL)));
}

// --save-copy: the plug-in's Save As of a stack, which no --dialog answers, is answered with the
// copy's path: the stack is saved there (and the copy is then that file).
constexpr char kStackSaveTitle[] = "Please name this Stack";

// Whether a --dialog (done or not) names this window's title: then it is the walk's to answer.
bool AnsweredByTheWalk(HWND window) {
    for (const BrowserOptions::TimedDialogAction& a : g_watch.options->dialogActions)
        if (a.title == WindowText(window))
            return true;
    return false;
}

void SaveStackAsCopy(HWND window) {
    // As a person would: the path typed into the file name box, then Save pressed.
    BrowserOptions::TimedDialogAction type{};
    type.title = kStackSaveTitle;
    type.control = "File name:";
    type.verb = BrowserOptions::DialogVerb::Type;
    type.text = g_watch.options->saveCopy;
    BrowserOptions::TimedDialogAction save = type;
    save.control = "Save";
    save.verb = BrowserOptions::DialogVerb::Press;
    HWND box = FindControl(window, type), button = FindControl(window, save);
    const std::string typed = box ? Act(window, box, type) : "no file name box";
    const std::string pressed = typed.empty() && button ? Act(window, button, save) : "not pressed";
    Logf("save-as(%s) -> %s%s", type.text.c_str(), typed.empty() && pressed.empty() ? "ok" : (typed + pressed).c_str(),
         Standing(window).c_str());
}

// The plug-in's alert boxes carry their string id as the window property "LoomAlertId" (beside
// "LoomAlertBox", the box's own record); the buttons are 52, 53 and 54 from the first.
void AnswerAlert(HWND window) {
    const auto id = static_cast<unsigned>(reinterpret_cast<uintptr_t>(GetPropA(window, "LoomAlertId")));
    const LRESULT defId = SendMessageA(window, DM_GETDEFID, 0, 0);
    int button = HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK;
    int wanted = 0;
    for (const BrowserOptions::AlertAnswer& answer : g_watch.options->alertAnswers)
        if (answer.alertId == id || (answer.alertId == 0 && !wanted))
            wanted = answer.button;
    if (wanted) {
        HWND chosen = GetDlgItem(window, 51 + wanted);
        if (chosen && IsWindowVisible(chosen))
            button = 51 + wanted;
        else
            Fail("alert(id=%s) has no button %s; its default is pressed", std::to_string(id), std::to_string(wanted));
    }
    char text[256] = {};
    GetDlgItemTextA(window, 51, text, sizeof text);  // the message of the program's alert boxes
    Logf("alert(id=%u)%s -> button %d: %s", id, Standing(window).c_str(), button, text);
    std::fprintf(stderr, "testbrowser: alert %u answered\n", id);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
}

}  // namespace

void StartDialogWatch(void* frame, const BrowserOptions& options) {
    g_watch = Watch{};
    g_watch.frame = static_cast<HWND>(frame);
    g_watch.options = &options;
    g_watch.states.assign(options.dialogActions.size(), ActionState::Later);
    g_watch.dueSince.assign(options.dialogActions.size(), 0);
    for (size_t i = 0; i < options.dialogActions.size(); ++i)
        g_watch.order.push_back(i);
    std::stable_sort(g_watch.order.begin(), g_watch.order.end(), [&](size_t a, size_t b) {
        return options.dialogActions[a].atMs < options.dialogActions[b].atMs;
    });
}

void DialogActionDue(size_t index) {
    if (index < g_watch.states.size() && g_watch.states[index] == ActionState::Later) {
        g_watch.states[index] = ActionState::Waiting;
        g_watch.dueSince[index] = GetTickCount();
    }
    WatchDialogs();
}

void WatchDialogs() {
    if (!g_watch.options)
        return;
    std::erase_if(g_watch.logged, [](const auto& entry) {
        const bool gone = !IsWindow(entry.first) || !IsWindowVisible(entry.first);
        if (gone)
            Logf("gone(%s)", entry.second.c_str());
        return gone;
    });
    std::erase_if(g_watch.answered, [](HWND w) { return !IsWindow(w); });
    std::vector<HWND> shown = ShownWindows();
    for (HWND w : shown)
        if (g_watch.logged.emplace(w, ClassOf(w) == "#32768" ? "menu" : WindowText(w)).second) {
            g_watch.showings.emplace_back(g_watch.logged[w], GetTickCount());
            LogShown(w);
        }
    // The actions in their order: a later one waits for the one before.
    for (size_t i : g_watch.order) {
        if (g_watch.states[i] == ActionState::Done)
            continue;
        if (g_watch.states[i] == ActionState::Later || !TryAction(i, shown))
            break;
        shown = ShownWindows();
    }
    const BrowserOptions& o = *g_watch.options;
    for (HWND w : ShownWindows()) {
        if (g_watch.answered.count(w) || Reserved(w, !IsAlertBox(w)))
            continue;
        if (IsAlertBox(w) && o.answerAlerts) {
            g_watch.answered.insert(w);
            AnswerAlert(w);
        } else if (!IsAlertBox(w) && IsDialogBox(w) && !o.saveCopy.empty() && WindowText(w) == kStackSaveTitle &&
                   !AnsweredByTheWalk(w)) {
            g_watch.answered.insert(w);
            SaveStackAsCopy(w);
        } else if (!IsAlertBox(w) && IsDialogBox(w) && o.closeDialogs) {
            g_watch.answered.insert(w);
            CloseDialog(w);
        } else if (IsMenuWindow(w) && o.closeDialogs) {
            // A menu tracked by this thread (this timer fires inside its loop): ended as Escape
            // would end it, with nothing chosen.
            g_watch.answered.insert(w);
            Logf("menu closed");
            EndMenu();
        }
    }
}

// At the page's close: actions that never acted fail the run.
void EndDialogWatch() {
    for (size_t i = 0; i < g_watch.states.size(); ++i)
        if (g_watch.states[i] != ActionState::Done) {
            g_watch.states[i] = ActionState::Done;
            Fail("dialog-action(%s) -> %s", g_watch.options->dialogActions[i].spec,
                 "never done: the page closed first");
        }
}

bool DialogWatchFailed() { return g_watch.failed; }

bool WindowShownAt(const std::string& title, int nth, unsigned long* tick) {
    WatchDialogs();  // what is up now counts, not only what the last poll saw
    for (const auto& [shown, when] : g_watch.showings)
        if (shown == title && --nth == 0) {
            *tick = when;
            return true;
        }
    return false;
}

int WindowsShown(const std::string& title) {
    WatchDialogs();
    int count = 0;
    for (const auto& [shown, when] : g_watch.showings)
        count += shown == title;
    return count;
}

void* ShownWindow(const std::string& title) {
    WatchDialogs();
    for (const auto& [window, shown] : g_watch.logged)
        if (shown == title && IsWindow(window) && IsWindowVisible(window))
            return window;
    return nullptr;
}

void FailHold(const std::string& spec, const std::string& why) { Fail("hold(%s) -> %s", spec, why); }

void FailWalk(const std::string& why) { Fail("walk(in order) -> %s%s", why, ""); }

bool DialogActionSettled(size_t index) {
    return index < g_watch.states.size() && g_watch.states[index] == ActionState::Done;
}
