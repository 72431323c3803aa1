// Options of the test browser, and the small URL work a browser does: resolving a name against
// the page's base URL and finding the file that a URL names under the server folder.
#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

#include "TestBrowser.h"

namespace {

bool ParseInt(std::string_view text, int low, int high, int& out) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return false;
    out = value;
    return true;
}

bool ParseSize(std::string_view text, int& width, int& height) {
    size_t x = text.find_first_of("xX");
    if (x == std::string_view::npos)
        return false;
    return ParseInt(text.substr(0, x), 1, 4096, width) && ParseInt(text.substr(x + 1), 1, 4096, height);
}

// "X,Y" in the card's coordinates; a point left of or above the card is negative (a palette
// beside it).
bool ParsePoint(std::string_view text, int& x, int& y) {
    const size_t comma = text.find(',');
    return comma != std::string_view::npos && ParseInt(text.substr(0, comma), -4096, 4095, x) &&
           ParseInt(text.substr(comma + 1), -4096, 4095, y);
}

// "MS", or "shown:TITLE+MS" (TITLE#N for its Nth showing, TITLE#next for the first after the
// action came due; "+MS" may be left out) or "logged:TEXT+MS" (the same for a log line): a hold.
bool ParseTime(std::string_view text, int& atMs, BrowserOptions::Hold* hold) {
    constexpr int kMaxMs = 24 * 60 * 60 * 1000;
    constexpr std::string_view kShown = "shown:", kLogged = "logged:";
    const bool logged = text.substr(0, kLogged.size()) == kLogged;
    if (!hold || (!logged && text.substr(0, kShown.size()) != kShown))
        return ParseInt(text, 0, kMaxMs, atMs);
    hold->logged = logged;
    text.remove_prefix(logged ? kLogged.size() : kShown.size());
    const size_t plus = text.rfind('+');
    if (plus != std::string_view::npos) {
        if (!ParseInt(text.substr(plus + 1), 0, kMaxMs, hold->afterMs))
            return false;
        text = text.substr(0, plus);
    }
    const size_t hash = text.rfind('#');
    if (hash != std::string_view::npos) {
        if (text.substr(hash + 1) == "next")
            hold->nth = 0;
        else if (!ParseInt(text.substr(hash + 1), 1, 1000, hold->nth))
            return false;
        text = text.substr(0, hash);
    }
    hold->title = std::string(text);
    atMs = 0;
    return !hold->title.empty();
}

// "SOMETHING@TIME": the part before the last '@' and the time (ParseTime).
bool SplitTime(std::string_view text, std::string_view& before, int& atMs, BrowserOptions::Hold* hold = nullptr) {
    const size_t at = text.rfind('@');
    if (at == std::string_view::npos || at == 0)
        return false;
    before = text.substr(0, at);
    return ParseTime(text.substr(at + 1), atMs, hold);
}

// "X,Y", or a drag's "X1,Y1-X2,Y2" through more corners.
bool ParseMousePlace(std::string_view place, BrowserOptions::MouseAction action, BrowserOptions::TimedMouse& out) {
    out.action = action;
    if (action != BrowserOptions::MouseAction::Drag)
        return ParsePoint(place, out.x, out.y);
    // The points are joined by '-' after a digit; a '-' after ',' or another '-' is a sign.
    std::vector<std::pair<int, int>> points;
    size_t start = 0;
    for (size_t i = 1; i <= place.size(); ++i) {
        if (i < place.size() && !(place[i] == '-' && place[i - 1] >= '0' && place[i - 1] <= '9'))
            continue;
        int x = 0, y = 0;
        if (!ParsePoint(place.substr(start, i - start), x, y))
            return false;
        points.emplace_back(x, y);
        start = i + 1;
    }
    if (points.size() < 2)
        return false;
    out.x = points.front().first;
    out.y = points.front().second;
    out.x2 = points.back().first;
    out.y2 = points.back().second;
    out.via.assign(points.begin() + 1, points.end() - 1);
    return true;
}

bool ParseMouse(std::string_view text, BrowserOptions::MouseAction action, BrowserOptions::TimedMouse& out) {
    std::string_view place;
    return SplitTime(text, place, out.atMs, &out.hold) && ParseMousePlace(place, action, out);
}

// "TITLE|CONTROL|ACTION@MS"; the action is press, check, uncheck, type:TEXT, choose:TEXT,
// click:X,Y, double-click:X,Y or drag:X1,Y1-X2,Y2.
bool ParseDialogAction(std::string_view text, BrowserOptions::TimedDialogAction& out) {
    using Verb = BrowserOptions::DialogVerb;
    std::string_view rest;
    if (!SplitTime(text, rest, out.atMs))
        return false;
    out.spec = std::string(rest);
    const size_t first = rest.find('|');
    const size_t second = first == std::string_view::npos ? first : rest.find('|', first + 1);
    if (second == std::string_view::npos || first == 0 || second == first + 1)
        return false;
    out.title = std::string(rest.substr(0, first));
    out.control = std::string(rest.substr(first + 1, second - first - 1));
    const std::string_view action = rest.substr(second + 1);
    const size_t colon = action.find(':');
    const std::string_view word = action.substr(0, colon);
    out.text = colon == std::string_view::npos ? std::string() : std::string(action.substr(colon + 1));
    if (word == "press") out.verb = Verb::Press;
    else if (word == "check") out.verb = Verb::Check;
    else if (word == "uncheck") out.verb = Verb::Uncheck;
    else if (word == "type") out.verb = Verb::Type;
    else if (word == "choose") out.verb = Verb::Choose;
    else if (word == "click" || word == "double-click" || word == "drag") out.verb = Verb::Mouse;
    else return false;
    if (out.verb == Verb::Mouse) {
        using Mouse = BrowserOptions::MouseAction;
        const Mouse mouse = word == "drag" ? Mouse::Drag : word == "click" ? Mouse::Click : Mouse::DoubleClick;
        return ParseMousePlace(out.text, mouse, out.mouse);
    }
    const bool takesText = out.verb == Verb::Type || out.verb == Verb::Choose;
    if (takesText != (colon != std::string_view::npos))
        return false;
    return out.verb != Verb::Choose || !out.text.empty();  // typing nothing empties a field
}

// "N" (every alert) or "ALERT:N" (the alert of that string id).
bool ParseAlertAnswer(std::string_view text, BrowserOptions::AlertAnswer& out) {
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return ParseInt(text, 1, 3, out.button);
    int id = 0;
    if (!ParseInt(text.substr(0, colon), 1, 65535, id) || !ParseInt(text.substr(colon + 1), 1, 3, out.button))
        return false;
    out.alertId = static_cast<unsigned>(id);
    return true;
}

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view WithoutQuery(std::string_view url) {
    return url.substr(0, url.find_first_of("?#"));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Removes "." and ".." segments from a URL path ("/a/./b/../c" -> "/a/c"); ".." never climbs
// above the root, as browsers do.
std::string RemoveDotSegments(std::string_view path) {
    std::vector<std::string_view> kept;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        std::string_view segment = path.substr(start, slash == std::string_view::npos ? std::string_view::npos : slash - start);
        bool last = slash == std::string_view::npos;
        if (segment == "..") {
            if (kept.size() > 1)
                kept.pop_back();
            if (last)
                kept.push_back("");
        } else if (segment == ".") {
            if (last)
                kept.push_back("");
        } else {
            kept.push_back(segment);
        }
        if (last)
            break;
        start = slash + 1;
    }
    std::string out;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (i)
            out += '/';
        out += kept[i];
    }
    return out;
}

}  // namespace

const char* UsageText() {
    return "usage: testbrowser [options] STACK...\n"
           "  STACK                 a URL (http://host/dir/x.stk maps to SERVER\\dir\\x.stk),\n"
           "                        a local file, or a name relative to the base URL;\n"
           "                        each stack gets an embed of its own\n"
           "  --dll PATH            the plug-in (default: nploom.dll beside this program)\n"
           "  --server DIR          folder standing for the web server (default: current folder)\n"
           "  --base URL            the page's base URL (default: http://localhost/)\n"
           "  --type MIME           MIME type of the stack (default: by extension from the plug-in)\n"
           "  --size WxH            size of each embed (default: 512x384)\n"
           "  --chunk N             at most N bytes per NPP_Write (default: 4096)\n"
           "  --instances N         N embeds of one stack, one instance each (default: 1)\n"
           "  --full                full-page mode instead of embedded\n"
           "  --stream-first        deliver the stack before the window is given\n"
           "  --parallel            interleave streams instead of delivering one after another\n"
           "  --answer-late NAME@MS the stream of a file of that name starts MS after it was asked\n"
           "  --stall NAME          the stream of a file of that name sends its first piece, then\n"
           "                        nothing until the page closes (other streams go on)\n"
           "  --drip NAME@MS        the stream of a file of that name sends a byte every MS\n"
           "                        (other streams go on)\n"
           "  --huge NAME@BYTES     a file of that name is served BYTES long: its bytes, then zeros\n"
           "  --log                 one line on standard output for every plug-in call, and for\n"
           "                        every dialog shown: \"shown(TITLE) class=C at L,T,R,B\n"
           "                        front=yes|no owner=page|dialog(CAPTION)|none|CLASS controls: ID CLASS \"TEXT\"\n"
           "                        ...\" (front: in front of the page's window), \"gone(TITLE)\"\n"
           "                        when it closed, and \"card(instance=N) at screen X,Y\"\n"
           "  --answer-alerts       log each alert the plug-in shows (\"alert(id=N) owner=OWNER\n"
           "                        front=yes|no\") and press its default button\n"
           "  --answer-alert N      answer alerts with their Nth button instead of the default;\n"
           "                        ALERT:N only the alert of that string id (repeatable; sets\n"
           "                        --answer-alerts; an alert without that button: exit code 14)\n"
           "  --close-dialogs       log each other dialog box the plug-in opens (\"dialog(CAPTION)\n"
           "                        at LEFT,TOP,RIGHT,BOTTOM name=FILE owner=OWNER front=yes|no\",\n"
           "                        on the screen) and cancel it; OWNER is page (the browser's\n"
           "                        frame), dialog(CAPTION), none or a window class, and front\n"
           "                        says whether the box lies in front of the frame and its owner;\n"
           "                        a menu left open is logged (\"menu closed\") and ended\n"
           "  --screenshot FILE     save the first embed window as a PNG (more: FILE-2.png, ...)\n"
           "  --screenshot-after MS when to take it (default: 1000); repeated, further shots\n"
           "                        of the first embed at the later times (FILE-t2.png, ...);\n"
           "                        MS may be a hold (shown:TITLE+MS, logged:TEXT+MS)\n"
           "  --x-shot FILE@MS      at MS, the X server's picture of the whole screen (its root\n"
           "                        window with every window on it, as the server shows it)\n"
           "                        written to FILE in xwd's format, what the user sees; held\n"
           "                        on a window (@shown:TITLE+MS), also that window's own X\n"
           "                        picture (xwd -id) to FILE.window (repeatable)\n"
           "  --x-shot-in-loop FILE+LATER@MS  from MS on (or a hold), once the page's thread\n"
           "                        stops answering messages (the plug-in runs a loop that\n"
           "                        lets none through, as a transition does), the whole screen\n"
           "                        LATER ms after, from a thread of the browser's own\n"
           "  --command ID@MS       post menu command ID to the first embed window at MS\n"
           "                        milliseconds (repeatable)\n"
           "  --click X,Y@MS        a left click at X,Y of the first embed (the card's\n"
           "                        coordinates) at MS: real input (move, press, release) that\n"
           "                        the window under the point gets, a child window or a dialog\n"
           "                        over the card too, and outside the card (negative X or Y)\n"
           "                        whatever window lies there; the log names that window and\n"
           "                        the point in it (repeatable)\n"
           "  --right-click X,Y@MS  the same with the right button\n"
           "  --double-click X,Y@MS two left clicks in a row\n"
           "  --hover X,Y@MS        the mouse moved to X,Y and left there; the log names the\n"
           "                        cursor shown there (arrow, or a digest of its pixels)\n"
           "  --drag X1,Y1-X2,Y2@MS the left button pressed at X1,Y1, moved in steps to X2,Y2\n"
           "                        (through further points given as -X,Y between them)\n"
           "                        and released there\n"
           "  --drop FILE@X,Y@MS    FILE dropped from the shell on the first embed window at X,Y\n"
           "                        (a real drop record) at MS (repeatable)\n"
           "  --keys TEXT@MS        TEXT typed (WM_CHAR each) into the window with the focus\n"
           "                        at MS (repeatable)\n"
           "  --key KEYS@MS         keys pressed and released as real input at the window with\n"
           "                        the focus (accelerators and dialog keys see them): names\n"
           "                        separated by spaces, each with modifiers before it, e.g.\n"
           "                        \"ctrl+s\", \"shift+Tab Return\", \"Escape\", \"Delete\", \"F1\",\n"
           "                        \"a\", \"5\", \"Left\", \"Space\", \"alt+F4\" (repeatable)\n"
           "  --menu \"MENU|ITEM@MS\"  the item of the page's menu bar chosen by keys as a person\n"
           "                        does (alt and the menu's letter, then the item's letter, or\n"
           "                        Down and Return), the item's text as CbDoMenuItem takes it\n"
           "                        (\"Edit|New Card\", \"Format|Style|Bold\"); a path the bar\n"
           "                        does not hold ends the run with exit code 14 (repeatable)\n"
           "  --menu-click \"MENU|ITEM@MS\"  the same item chosen with the mouse: a click on the\n"
           "                        menu's title, then on the item once the menu shows (keys a\n"
           "                        dialog takes do not reach the bar); a grey item is not\n"
           "                        clicked, the menu is closed by Esc; logged as\n"
           "                        \"menu-click(...) chosen\", \"grey\" or \"not shown\" (repeatable)\n"
           "  --dialog \"TITLE|CONTROL|ACTION@MS\"\n"
           "                        from MS on, in the dialog titled TITLE (\"*\": the first\n"
           "                        dialog shown) the control of that id or text (a label's text\n"
           "                        names the control after it): press, check, uncheck,\n"
           "                        type:TEXT (its text replaced), choose:TEXT (an item of a\n"
           "                        list or combo box), click:X,Y, double-click:X,Y or\n"
           "                        drag:X1,Y1-X2,Y2 (real input at the control's own\n"
           "                        coordinates); a dialog not shown within 3 seconds (10 in\n"
           "                        order), or a control not in it (or that cannot take the\n"
           "                        action: that dialog is then cancelled), is logged and the\n"
           "                        run ends with exit code 14 (repeatable;\n"
           "                        until it has acted, --close-dialogs leaves its dialog alone,\n"
           "                        and --answer-alerts once it is due)\n"
           "  --save-copy PATH      once the page closed, copy the stack file the plug-in saved\n"
           "                        last (a local file, a Save As target) to PATH; nothing saved\n"
           "                        or the copy failed: exit code 15. A stack Save As dialog\n"
           "                        (\"Please name this Stack\", as Save of a web stack shows)\n"
           "                        that no --dialog answers is answered with PATH\n"
           "  @shown:TITLE+MS       in place of @MS (--command, --click and the other mouse\n"
           "                        actions, --key, --keys, --x-shot, --screenshot-after): held\n"
           "                        until the window of that title (a dialog, an alert, \"menu\"\n"
           "                        for a menu) was shown, then MS later; TITLE#N after its Nth\n"
           "                        showing, TITLE#next after the first once the action came\n"
           "                        due; a window not shown within 10 seconds is logged\n"
           "                        (\"hold(...) -> never shown\") and the run ends with exit\n"
           "                        code 14\n"
           "  @logged:TEXT+MS       the same, held until a line of the log holding TEXT was\n"
           "                        written (TEXT#N, TEXT#next as above; a line not written\n"
           "                        within 30 seconds: \"hold(...) -> never logged\", exit code\n"
           "                        14), e.g. a stream's end: \"logged:NPP_DestroyStream(instance=1,\n"
           "                        url=http://localhost/other.stk+500\"\n"
           "  --in-order            the timed things (actions, dialog actions, shots) go one\n"
           "                        after another in the order of their times (a held one\n"
           "                        where it was given), each no sooner than the one before\n"
           "                        it ran (a dialog action: acted) and kept as far after it\n"
           "                        as their times are apart; the times count from when the\n"
           "                        page's streams first all ended (the stack is in); a walk\n"
           "                        the page's close cuts short ends with exit code 14\n"
           "  --quit-after-last MS  close the page MS milliseconds after the last timed thing\n"
           "                        ran; sets --in-order, with --quit-after (default: 40000\n"
           "                        beyond the latest time given) as the bound\n"
           "  --quit-after MS       close the page after MS milliseconds; a run still going\n"
           "                        20 s later (the plug-in stuck in a call) ends with exit\n"
           "                        code 10\n"
           "  --quit-when-done      close the page once every stream has ended and no request\n"
           "                        of the plug-in is left (with --quit-after as the limit:\n"
           "                        reaching it first ends with exit code 12)\n"
           "  --reload              once the page closed and the plug-in is unloaded, log whether\n"
           "                        its \"QTWndClass\" and QuickTime.qts are left (\"unloaded(...)\"),\n"
           "                        and its \"LM_MediaBrowser\" class (\"unloaded(LM_MediaBrowser=...)\",\n"
           "                        and at each closing whether that window shows),\n"
           "                        then show the page again (its screenshot: FILE-again.png)\n";
}

std::optional<BrowserOptions> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    BrowserOptions options;
    auto needValue = [&](size_t& i) -> const std::string* {
        if (i + 1 >= args.size()) {
            error = "option " + args[i] + " needs a value";
            return nullptr;
        }
        return &args[++i];
    };
    auto intOption = [&](size_t& i, int low, int high, int& out) {
        const std::string* value = needValue(i);
        if (!value)
            return false;
        if (!ParseInt(*value, low, high, out)) {
            error = "bad value for " + args[i - 1] + ": " + *value;
            return false;
        }
        return true;
    };
    auto textOption = [&](size_t& i, std::string& out) {
        const std::string* value = needValue(i);
        if (value)
            out = *value;
        return value != nullptr;
    };
    constexpr int kMaxMs = 24 * 60 * 60 * 1000;
    bool sawScreenshotTime = false;
    using Kind = BrowserOptions::StepKind;
    auto step = [&](Kind kind, size_t index) { options.steps.push_back({kind, index}); };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool ok = true;
        if (a == "--dll") ok = textOption(i, options.dllPath);
        else if (a == "--server") ok = textOption(i, options.serverDir);
        else if (a == "--base") ok = textOption(i, options.baseUrl);
        else if (a == "--type") ok = textOption(i, options.mimeType);
        else if (a == "--screenshot") ok = textOption(i, options.screenshot);
        else if (a == "--chunk") ok = intOption(i, 1, 64 * 1024 * 1024, options.chunk);
        else if (a == "--instances") ok = intOption(i, 1, 16, options.instances);
        else if (a == "--quit-after") ok = intOption(i, 0, kMaxMs, options.quitAfterMs);
        else if (a == "--quit-after-last") {
            ok = intOption(i, 0, kMaxMs, options.quitAfterLastMs);
            options.inOrder = true;
        }
        else if (a == "--screenshot-after") {
            const std::string* value = needValue(i);
            int ms = 0;
            BrowserOptions::Hold hold;
            ok = value && ParseTime(*value, ms, &hold);
            const size_t shot = sawScreenshotTime ? options.laterScreenshotsMs.size() + 1 : 0;
            if (ok && sawScreenshotTime)
                options.laterScreenshotsMs.push_back(ms);
            else if (ok)
                options.screenshotAfterMs = ms;
            if (ok) {
                step(Kind::Screenshot, shot);
                options.screenshotHolds.resize(shot + 1);
                options.screenshotHolds[shot] = hold;
            } else if (value) {
                error = "bad value for --screenshot-after: " + *value;
            }
            sawScreenshotTime = true;
        }
        else if (a == "--command") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->find('@') : std::string::npos;
            BrowserOptions::TimedCommand c{};
            ok = at != std::string::npos && ParseInt(value->substr(0, at), 1, 65535, c.command) &&
                 ParseTime(std::string_view(*value).substr(at + 1), c.atMs, &c.hold);
            if (ok) {
                options.commands.push_back(c);
                step(Kind::Command, options.commands.size() - 1);
            }
            else if (value)
                error = "bad value for --command: " + *value;
        } else if (a == "--click" || a == "--right-click" || a == "--double-click" || a == "--drag" || a == "--hover") {
            using Action = BrowserOptions::MouseAction;
            const Action action = a == "--click"          ? Action::Click
                                  : a == "--right-click"  ? Action::RightClick
                                  : a == "--double-click" ? Action::DoubleClick
                                  : a == "--hover"        ? Action::Hover
                                                          : Action::Drag;
            const std::string* value = needValue(i);
            BrowserOptions::TimedMouse m{};
            ok = value && ParseMouse(*value, action, m);
            if (ok) {
                options.mouse.push_back(m);
                step(Kind::Mouse, options.mouse.size() - 1);
            }
            else if (value)
                error = "bad value for " + a + ": " + *value;
        } else if (a == "--key") {
            const std::string* value = needValue(i);
            std::string_view keys;
            BrowserOptions::TimedKeys k{};
            ok = value && SplitTime(*value, keys, k.atMs, &k.hold);
            if (ok) {
                k.text = std::string(keys);
                ok = ParseKeyStrokes(keys, k.strokes, error);
                if (ok) {
                    options.keys.push_back(k);
                    step(Kind::Keys, options.keys.size() - 1);
                }
                else
                    error = "bad value for --key: " + *value + " (" + error + ")";
            } else if (value) {
                error = "bad value for --key: " + *value;
            }
        } else if (a == "--menu" || a == "--menu-click") {
            const std::string* value = needValue(i);
            std::string_view path;
            BrowserOptions::TimedKeys k{};
            ok = value && SplitTime(*value, path, k.atMs, &k.hold);
            if (ok) {
                k.text = "menu " + std::string(path);
                k.menuPath = SplitList(path, '|');
                k.byMouse = a == "--menu-click";
                ok = k.byMouse ? k.menuPath.size() == 2 : k.menuPath.size() >= 2;
            }
            if (ok) {
                options.keys.push_back(k);
                step(Kind::Keys, options.keys.size() - 1);
            } else if (value) {
                error = "bad value for " + a + ": " + *value;
            }
        } else if (a == "--dialog") {
            const std::string* value = needValue(i);
            BrowserOptions::TimedDialogAction d{};
            ok = value && ParseDialogAction(*value, d);
            if (ok) {
                options.dialogActions.push_back(d);
                step(Kind::Dialog, options.dialogActions.size() - 1);
            }
            else if (value)
                error = "bad value for --dialog: " + *value + " (TITLE|CONTROL|ACTION@MS, the action press, check, "
                                                              "uncheck, type:TEXT, choose:TEXT, click:X,Y, "
                                                              "double-click:X,Y or drag:X1,Y1-X2,Y2)";
        } else if (a == "--answer-alert") {
            const std::string* value = needValue(i);
            BrowserOptions::AlertAnswer answer{};
            ok = value && ParseAlertAnswer(*value, answer);
            if (ok) {
                options.alertAnswers.push_back(answer);
                options.answerAlerts = true;
            } else if (value) {
                error = "bad value for --answer-alert: " + *value;
            }
        } else if (a == "--save-copy") {
            ok = textOption(i, options.saveCopy);
        } else if (a == "--answer-late") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            BrowserOptions::LateAnswer late{};
            ok = at != std::string::npos && at > 0 && ParseInt(value->substr(at + 1), 0, kMaxMs, late.afterMs);
            if (ok) {
                late.name = value->substr(0, at);
                options.lateAnswers.push_back(late);
            } else if (value) {
                error = "bad value for --answer-late: " + *value + " (NAME@MS)";
            }
        } else if (a == "--drip" || a == "--huge") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            BrowserOptions::LateAnswer fault{};
            ok = at != std::string::npos && at > 0 &&
                 ParseInt(value->substr(at + 1), 1, a == "--huge" ? (1 << 30) : kMaxMs, fault.afterMs);
            if (ok) {
                fault.name = value->substr(0, at);
                (a == "--huge" ? options.huge : options.drips).push_back(fault);
            } else if (value) {
                error = "bad value for " + a + ": " + *value + (a == "--huge" ? " (NAME@BYTES)" : " (NAME@MS)");
            }
        } else if (a == "--stall") {
            std::string name;
            ok = textOption(i, name);
            if (ok)
                options.stalls.push_back(name);
        } else if (a == "--drop") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            const size_t place = at != std::string::npos && at > 0 ? value->rfind('@', at - 1) : std::string::npos;
            const size_t comma = place != std::string::npos ? value->find(',', place) : std::string::npos;
            BrowserOptions::TimedDrop d{};
            ok = place != std::string::npos && place > 0 && comma != std::string::npos && comma < at &&
                 ParseInt(value->substr(place + 1, comma - place - 1), 0, 4095, d.x) &&
                 ParseInt(value->substr(comma + 1, at - comma - 1), 0, 4095, d.y) &&
                 ParseInt(value->substr(at + 1), 0, kMaxMs, d.atMs);
            if (ok) {
                d.file = value->substr(0, place);
                options.drops.push_back(d);
                step(Kind::Drop, options.drops.size() - 1);
            } else if (value) {
                error = "bad value for --drop: " + *value;
            }
        } else if (a == "--x-shot") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            BrowserOptions::TimedXShot x{};
            ok = at != std::string::npos && at > 0 && ParseTime(std::string_view(*value).substr(at + 1), x.atMs, &x.hold);
            if (ok) {
                x.file = value->substr(0, at);
                options.xShots.push_back(x);
                step(Kind::XShot, options.xShots.size() - 1);
            } else if (value) {
                error = "bad value for --x-shot: " + *value;
            }
        } else if (a == "--x-shot-in-loop") {
            // FILE+MS@TIME
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            const size_t plus = value && at != std::string::npos ? value->rfind('+', at) : std::string::npos;
            BrowserOptions::TimedXShot x{};
            ok = plus != std::string::npos && plus > 0 &&
                 ParseInt(std::string_view(*value).substr(plus + 1, at - plus - 1), 0, 60000, x.loopMs) &&
                 ParseTime(std::string_view(*value).substr(at + 1), x.atMs, &x.hold);
            if (ok) {
                x.file = value->substr(0, plus);
                options.xShots.push_back(x);
                step(Kind::XShot, options.xShots.size() - 1);
            } else if (value) {
                error = "bad value for --x-shot-in-loop: " + *value;
            }
        } else if (a == "--keys") {
            const std::string* value = needValue(i);
            const size_t at = value ? value->rfind('@') : std::string::npos;
            BrowserOptions::TimedTyping t{};
            ok = at != std::string::npos && at > 0 && ParseTime(std::string_view(*value).substr(at + 1), t.atMs, &t.hold);
            if (ok) {
                t.text = value->substr(0, at);
                options.typing.push_back(t);
                step(Kind::Typing, options.typing.size() - 1);
            } else if (value) {
                error = "bad value for --keys: " + *value;
            }
        } else if (a == "--size") {
            const std::string* value = needValue(i);
            ok = value && ParseSize(*value, options.width, options.height);
            if (value && !ok)
                error = "bad value for --size: " + *value;
        } else if (a == "--log") options.log = true;
        else if (a == "--full") options.fullPage = true;
        else if (a == "--stream-first") options.streamBeforeWindow = true;
        else if (a == "--parallel") options.parallel = true;
        else if (a == "--quit-when-done") options.quitWhenDone = true;
        else if (a == "--answer-alerts") options.answerAlerts = true;
        else if (a == "--close-dialogs") options.closeDialogs = true;
        else if (a == "--reload") options.reload = true;
        else if (a == "--in-order") options.inOrder = true;
        else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        } else {
            options.stacks.push_back(a);
        }
        if (!ok)
            return std::nullopt;
    }
    if (options.stacks.empty()) {
        error = "no stack given";
        return std::nullopt;
    }
    if (options.stacks.size() > 1 && options.instances > 1) {
        error = "--instances repeats a single stack; several stacks get an embed each";
        return std::nullopt;
    }
    options.instances = std::max(options.instances, static_cast<int>(options.stacks.size()));
    if (!options.screenshot.empty() && !sawScreenshotTime)
        options.steps.push_back({Kind::Screenshot, 0});
    options.screenshotHolds.resize(options.laterScreenshotsMs.size() + 1);  // one per shot, held or not
    // A walk in order that hangs ends at a bound of its own: 40 seconds beyond its last time.
    if (options.inOrder && options.quitAfterMs < 0) {
        int last = options.screenshotAfterMs;
        for (int ms : options.laterScreenshotsMs)
            last = std::max(last, ms);
        auto latest = [&last](const auto& timed) {
            for (const auto& t : timed)
                last = std::max(last, t.atMs);
        };
        latest(options.commands);
        latest(options.mouse);
        latest(options.keys);
        latest(options.typing);
        latest(options.dialogActions);
        latest(options.drops);
        latest(options.xShots);
        options.quitAfterMs = std::min(last + 40000, kMaxMs);
    }
    if (!HasScheme(options.baseUrl)) {
        error = "the base URL needs a scheme: " + options.baseUrl;
        return std::nullopt;
    }
    return options;
}

bool HasScheme(std::string_view url) {
    // At least two characters, so that a drive letter ("C:\...") is not taken for a scheme.
    size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(url[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

std::string ResolveUrl(std::string_view base, std::string_view reference) {
    if (HasScheme(reference) || !HasScheme(base))
        return std::string(reference);
    size_t colon = base.find(':');
    std::string_view scheme = base.substr(0, colon + 1);  // "http:"
    size_t pathStart = colon + 1;
    if (base.substr(pathStart, 2) == "//") {
        pathStart = base.find('/', pathStart + 2);
        if (pathStart == std::string_view::npos)
            pathStart = base.size();
    }
    std::string_view origin = base.substr(0, pathStart);  // "http://host"
    std::string basePath(WithoutQuery(base.substr(pathStart)));
    if (basePath.empty())
        basePath = "/";

    if (reference.substr(0, 2) == "//")
        return std::string(scheme) + std::string(reference);
    std::string_view refPath = WithoutQuery(reference);
    std::string_view refTail = reference.substr(refPath.size());
    std::string path;
    if (refPath.empty())
        path = basePath;
    else if (refPath[0] == '/')
        path = refPath;
    else
        path = basePath.substr(0, basePath.rfind('/') + 1) + std::string(refPath);
    return std::string(origin) + RemoveDotSegments(path) + std::string(refTail);
}

std::string UrlToLocalPath(std::string_view url, std::string_view serverDir) {
    if (!HasScheme(url))
        return {};
    size_t colon = url.find(':');
    std::string scheme = Lower(url.substr(0, colon));
    std::string_view rest = WithoutQuery(url.substr(colon + 1));

    if (scheme == "file") {
        if (rest.substr(0, 2) == "//") {
            size_t slash = rest.find('/', 2);
            std::string host = Lower(rest.substr(2, slash == std::string_view::npos ? std::string_view::npos : slash - 2));
            if (!host.empty() && host != "localhost")
                return {};
            rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        }
        std::string path = PercentDecode(rest);
        if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':')
            path.erase(0, 1);  // "/C:/x" -> "C:/x"
        for (char& c : path)
            if (c == '/')
                c = '\\';
        return path.empty() || path.back() == '\\' ? std::string() : path;
    }

    if (scheme != "http" && scheme != "https")
        return {};
    if (rest.substr(0, 2) != "//")
        return {};
    size_t slash = rest.find('/', 2);
    if (slash == std::string_view::npos)
        return {};  // the server's root has no file
    std::string_view path = rest.substr(slash + 1);
    std::string out(serverDir.empty() ? std::string_view(".") : serverDir);
    while (out.size() > 1 && (out.back() == '\\' || out.back() == '/'))
        out.pop_back();
    size_t start = 0;
    std::vector<std::string> segments;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        std::string segment = PercentDecode(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        // Nothing from a URL may leave the server folder or name a drive or stream.
        if (segment == "..")
            return {};
        if (segment.find_first_of(std::string_view("\\:\0", 3)) != std::string::npos)
            return {};
        if (!segment.empty() && segment != ".")
            segments.push_back(std::move(segment));
        else if (end == std::string_view::npos)
            return {};  // a folder, not a file
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    for (const std::string& segment : segments)
        out += '\\' + segment;
    return out;
}

std::string LocalPathToUrl(std::string_view fullPath) {
    std::string url = "file:///";
    constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : fullPath) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\')
            url += '/';
        else if (u <= 0x20 || u >= 0x7F || c == '%' || c == '#' || c == '?') {
            url += '%';
            url += kHex[u >> 4];
            url += kHex[u & 15];
        } else {
            url += c;
        }
    }
    return url;
}

std::string UrlExtension(std::string_view url) {
    std::string_view path = WithoutQuery(url);
    size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : Lower(name.substr(dot + 1));
}

std::string GenericMimeType(std::string_view extension) {
    static constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kTypes = {{
        {"bmp", "image/bmp"},   {"jpg", "image/jpeg"}, {"jpeg", "image/jpeg"}, {"gif", "image/gif"},
        {"png", "image/png"},   {"wav", "audio/wav"},  {"mid", "audio/midi"},  {"avi", "video/avi"},
        {"mov", "video/quicktime"}, {"txt", "text/plain"}, {"htm", "text/html"}, {"html", "text/html"},
        {"rtf", "application/rtf"}, {"pal", "application/octet-stream"},
    }};
    std::string ext = Lower(extension);
    for (const auto& [e, type] : kTypes)
        if (e == ext)
            return std::string(type);
    return "application/octet-stream";
}

std::vector<std::string> SplitList(std::string_view text, char separator) {
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        std::string_view item = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        while (!item.empty() && item.front() == ' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ')
            item.remove_suffix(1);
        items.emplace_back(item);
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    return items;
}
