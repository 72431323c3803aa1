// Clicks, drags and keys as a person makes them: real input through SendInput, so that the
// window under the point gets them (a child window, a dialog over the card), the capture, the
// cursor position and the key states follow, and accelerators and dialog keys see them. The
// input is sent from a thread of its own with the pauses a hand makes: the plug-in may be inside
// a loop of its own (a tracked drag, a modal dialog) that the page's timers do not reach.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "TestBrowser.h"

namespace {

struct Step {
    INPUT input;
    DWORD pauseAfterMs;
    std::string cursorNote;  // when set, logged after the pause with the cursor then shown
    int menusOpen = 0;       // sent once at least that many menus show
    // A move to an item of a menu, found once that menu shows; a grey item is not clicked: the
    // menu is closed by Esc and the rest of the steps are left out.
    HMENU itemMenu = nullptr;
    int itemPosition = -1;
    std::string itemNote;
};

bool AimAtMenuItem(Step& step);

BOOL CALLBACK CountShownMenu(HWND window, LPARAM count) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (IsWindowVisible(window) && std::string_view(name) == "#32768")
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// A key for an open menu waits for it, as a hand waits for the menu to drop: keys sent before
// it shows would go to the menu bar. Two seconds at most.
void WaitForMenus(int wanted) {
    for (int waited = 0; wanted > 0 && waited < 2000; waited += 20) {
        int shown = 0;
        EnumWindows(CountShownMenu, reinterpret_cast<LPARAM>(&shown));
        if (shown >= wanted)
            return;
        Sleep(20);
    }
}

constexpr DWORD kPressMs = 40;       // a button held down
constexpr DWORD kBetweenMs = 20;     // between a move and a press, and between keys
constexpr DWORD kDragStepMs = 20;
constexpr int kDragStepPixels = 8;
constexpr int kMaxDragSteps = 40;

// FNV-1a over a bitmap's bits, to tell cursors apart by what they show.
uint32_t BitmapDigest(HBITMAP bitmap, uint32_t hash) {
    BITMAP info{};
    if (!bitmap || !GetObjectA(bitmap, sizeof info, &info) || info.bmWidthBytes <= 0 || info.bmHeight <= 0)
        return hash;
    std::vector<unsigned char> bits(size_t(info.bmWidthBytes) * size_t(info.bmHeight));
    const LONG got = GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    for (LONG i = 0; i < got; ++i)
        hash = (hash ^ bits[size_t(i)]) * 16777619u;
    return hash;
}

// "arrow" for the system's arrow, "none" when hidden, else "custom:" and a digest of its pixels.
std::string ShownCursor() {
    CURSORINFO info{sizeof info};
    if (!GetCursorInfo(&info) || !(info.flags & CURSOR_SHOWING) || !info.hCursor)
        return "none";
    if (info.hCursor == LoadCursor(nullptr, IDC_ARROW))
        return "arrow";
    ICONINFO icon{};
    if (!GetIconInfo(info.hCursor, &icon))
        return "unknown";
    const uint32_t hash = BitmapDigest(icon.hbmColor, BitmapDigest(icon.hbmMask, 2166136261u));
    if (icon.hbmMask)
        DeleteObject(icon.hbmMask);
    if (icon.hbmColor)
        DeleteObject(icon.hbmColor);
    char text[24];
    std::snprintf(text, sizeof text, "custom:%08x", static_cast<unsigned>(hash));
    return text;
}

BOOL CALLBACK TakeFirstWindow(HWND window, LPARAM found) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Waits (a while at most) until the page's thread takes messages again: a press sent while the
// plug-in is still busy with the input before it (a drop being stored, a card being drawn)
// would queue behind it, and a hand waits for the screen too. A modal loop takes them.
void WaitForPageThread(DWORD thread) {
    constexpr UINT kPatienceMs = 2000;
    HWND window = nullptr;
    EnumThreadWindows(thread, TakeFirstWindow, reinterpret_cast<LPARAM>(&window));
    if (window)
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPatienceMs, nullptr);
}

class InputThread {
public:
    void Send(std::vector<Step> steps) {
        std::unique_lock lock(mutex_);
        if (!worker_.joinable()) {
            pageThread_ = GetCurrentThreadId();
            hadCursor_ = GetCursorPos(&cursor_) != 0;
            worker_ = std::thread([this] { Run(); });
        }
        queue_.push_back(std::move(steps));
        wake_.notify_all();
    }
    void Stop() {
        {
            std::unique_lock lock(mutex_);
            stopping_ = true;
            wake_.notify_all();
        }
        if (worker_.joinable()) {
            worker_.join();
            // The mouse goes back where it was: the display is shared by the programs that
            // run next, whose windows should not open under it.
            if (hadCursor_)
                SetCursorPos(cursor_.x, cursor_.y);
        }
        stopping_ = false;
        queue_.clear();
    }

private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                return;  // stopping, and everything asked was sent
            std::vector<Step> steps = std::move(queue_.front());
            queue_.pop_front();
            const bool stopping = stopping_;
            lock.unlock();
            if (!stopping)  // Stop() holds the page's thread in a join
                WaitForPageThread(pageThread_);
            for (Step& step : steps) {
                WaitForMenus(step.menusOpen);
                if (step.itemMenu && !AimAtMenuItem(step))
                    break;
                if (SendInput(1, &step.input, sizeof step.input) != 1)
                    Logf("  (input not sent: error %lu)", static_cast<unsigned long>(GetLastError()));
                Sleep(step.pauseAfterMs);
                if (!step.cursorNote.empty())
                    Logf("%s cursor=%s", step.cursorNote.c_str(), ShownCursor().c_str());
            }
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::vector<Step>> queue_;
    std::thread worker_;
    bool stopping_ = false;
    bool hadCursor_ = false;
    POINT cursor_ = {};
    DWORD pageThread_ = 0;
};

InputThread g_input;

Step MoveTo(POINT screen, DWORD pause);
Step Key(unsigned char key, bool up, DWORD pause);

bool AimAtMenuItem(Step& step) {
    RECT r{};
    const bool placed = GetMenuItemRect(nullptr, step.itemMenu, static_cast<UINT>(step.itemPosition), &r) != 0;
    const bool grey = (GetMenuState(step.itemMenu, static_cast<UINT>(step.itemPosition), MF_BYPOSITION) &
                       (MF_GRAYED | MF_DISABLED)) != 0;
    Logf("%s %s", step.itemNote.c_str(), !placed ? "not shown" : grey ? "grey" : "chosen");
    if (placed && !grey) {
        step.input = MoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 0).input;
        return true;
    }
    for (int i = 0; i < 2; ++i) {  // the menu, then the bar
        Step esc = Key(VK_ESCAPE, false, kBetweenMs);
        SendInput(1, &esc.input, sizeof esc.input);
        esc = Key(VK_ESCAPE, true, kBetweenMs);
        SendInput(1, &esc.input, sizeof esc.input);
        Sleep(kBetweenMs);
    }
    return false;
}

// An absolute move to a screen point: SendInput scales 0..65535 over the primary screen and
// rounds down, so the smallest value that lands on the pixel is given.
Step MoveTo(POINT screen, DWORD pause) {
    const int width = std::max(GetSystemMetrics(SM_CXSCREEN), 1), height = std::max(GetSystemMetrics(SM_CYSCREEN), 1);
    Step s{};
    s.input.type = INPUT_MOUSE;
    s.input.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + width - 1) / width);
    s.input.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + height - 1) / height);
    s.input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    s.pauseAfterMs = pause;
    return s;
}

Step Button(DWORD flags, DWORD pause) {
    Step s{};
    s.input.type = INPUT_MOUSE;
    s.input.mi.dwFlags = flags;
    s.pauseAfterMs = pause;
    return s;
}

Step Key(unsigned char key, bool up, DWORD pause) {
    Step s{};
    s.input.type = INPUT_KEYBOARD;
    s.input.ki.wVk = key;
    s.input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    switch (key) {
    case VK_DELETE: case VK_INSERT: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_APPS:
        s.input.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    if (up)
        s.input.ki.dwFlags |= KEYEVENTF_KEYUP;
    s.pauseAfterMs = pause;
    return s;
}

std::string ClassOf(HWND window) {
    char name[64] = "none";
    if (window)
        GetClassNameA(window, name, sizeof name);
    return name;
}

// "CLASS X,Y": the window a point of the screen falls in, with the point in its client
// coordinates; the deepest child, disabled ones too (a click on them reaches their parent).
std::string WindowAt(POINT screen) {
    HWND window = WindowFromPoint(screen);
    for (HWND child = window; child;) {
        POINT local = screen;
        ScreenToClient(child, &local);
        child = ChildWindowFromPointEx(child, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (child == window)
            break;
        if (child)
            window = child;
    }
    if (!window)
        return "none";
    POINT local = screen;
    ScreenToClient(window, &local);
    return ClassOf(window) + " " + std::to_string(local.x) + "," + std::to_string(local.y);
}

POINT ToScreen(HWND embed, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(embed, &p);
    return p;
}

}  // namespace

void SendMouseAction(void* embedWindow, const BrowserOptions::TimedMouse& a) {
    using Action = BrowserOptions::MouseAction;
    const HWND embed = static_cast<HWND>(embedWindow);
    const POINT from = ToScreen(embed, a.x, a.y);
    std::vector<Step> steps;
    steps.push_back(MoveTo(from, kBetweenMs));
    switch (a.action) {
    case Action::Click:
    case Action::DoubleClick:
        for (int i = 0; i < (a.action == Action::DoubleClick ? 2 : 1); ++i) {
            steps.push_back(Button(MOUSEEVENTF_LEFTDOWN, kPressMs));
            steps.push_back(Button(MOUSEEVENTF_LEFTUP, kBetweenMs));
        }
        Logf("%s(%d,%d) at %s", a.action == Action::Click ? "click" : "double-click", a.x, a.y, WindowAt(from).c_str());
        break;
    case Action::Hover: {
        constexpr DWORD kSettleMs = 600;  // the window under the mouse sets its cursor
        steps.back().pauseAfterMs = kSettleMs;
        steps.back().cursorNote = "hover(" + std::to_string(a.x) + "," + std::to_string(a.y) + ") at " + WindowAt(from);
        break;
    }
    case Action::RightClick:
        steps.push_back(Button(MOUSEEVENTF_RIGHTDOWN, kPressMs));
        steps.push_back(Button(MOUSEEVENTF_RIGHTUP, kBetweenMs));
        Logf("right-click(%d,%d) at %s", a.x, a.y, WindowAt(from).c_str());
        break;
    case Action::Drag: {
        const POINT to = ToScreen(embed, a.x2, a.y2);
        steps.push_back(Button(MOUSEEVENTF_LEFTDOWN, kPressMs));
        std::vector<POINT> corners;
        for (const auto& [x, y] : a.via)
            corners.push_back(ToScreen(embed, x, y));
        corners.push_back(to);
        POINT at = from;
        for (const POINT& next : corners) {
            const int distance = std::max(std::abs(next.x - at.x), std::abs(next.y - at.y));
            const int count = std::clamp(distance / kDragStepPixels, 2, kMaxDragSteps);
            for (int i = 1; i <= count; ++i)
                steps.push_back(MoveTo({at.x + (next.x - at.x) * i / count, at.y + (next.y - at.y) * i / count},
                                       i == count && &next == &corners.back() ? kPressMs : kDragStepMs));
            at = next;
        }
        steps.push_back(Button(MOUSEEVENTF_LEFTUP, kBetweenMs));
        Logf("drag(%d,%d-%d,%d) from %s to %s", a.x, a.y, a.x2, a.y2, WindowAt(from).c_str(), WindowAt(to).c_str());
        break;
    }
    }
    g_input.Send(std::move(steps));
}

void SendKeyStrokes(const BrowserOptions::TimedKeys& keys) {
    std::vector<Step> steps;
    for (const BrowserOptions::KeyStroke& stroke : keys.strokes) {
        const size_t first = steps.size();
        for (unsigned char modifier : stroke.modifiers)
            steps.push_back(Key(modifier, false, kBetweenMs));
        steps.push_back(Key(stroke.key, false, kBetweenMs));
        steps[first].menusOpen = stroke.menusOpen;
        steps.push_back(Key(stroke.key, true, kBetweenMs));
        for (auto m = stroke.modifiers.rbegin(); m != stroke.modifiers.rend(); ++m)
            steps.push_back(Key(*m, true, kBetweenMs));
    }
    HWND focus = GetFocus();
    Logf("key(%s) focus=%s", keys.text.c_str(), ClassOf(focus).c_str());
    g_input.Send(std::move(steps));
}

void SendMenuClick(void* frameWindow, void* bar, int title, void* menu, int item, const std::string& text) {
    RECT r{};
    if (!GetMenuItemRect(static_cast<HWND>(frameWindow), static_cast<HMENU>(bar), static_cast<UINT>(title), &r)) {
        Logf("menu-click(%s) no bar", text.c_str());
        return;
    }
    std::vector<Step> steps;
    steps.push_back(MoveTo({(r.left + r.right) / 2, (r.top + r.bottom) / 2}, kBetweenMs));
    steps.push_back(Button(MOUSEEVENTF_LEFTDOWN, kPressMs));
    steps.push_back(Button(MOUSEEVENTF_LEFTUP, kBetweenMs));
    Step aim{};
    aim.input = MoveTo({r.left, r.bottom}, kBetweenMs).input;
    aim.pauseAfterMs = kBetweenMs;
    aim.menusOpen = 1;
    aim.itemMenu = static_cast<HMENU>(menu);
    aim.itemPosition = item;
    aim.itemNote = "menu-click(" + text + ")";
    steps.push_back(aim);
    steps.push_back(Button(MOUSEEVENTF_LEFTDOWN, kPressMs));
    steps.push_back(Button(MOUSEEVENTF_LEFTUP, kBetweenMs));
    Logf("menu-click(%s) focus=%s", text.c_str(), ClassOf(GetFocus()).c_str());
    g_input.Send(std::move(steps));
}

void StopInput() { g_input.Stop(); }
