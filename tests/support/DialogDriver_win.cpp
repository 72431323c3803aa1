// The dialog driver: a thread timer that answers the dialogs of the test's own thread.
#include "tests/support/DialogDriver_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "core/ui/Alerts.h"
#include "core/ui/Resources.h"

namespace {

DialogDriver* g_activeDriver = nullptr;  // one Run at a time on the test thread
constexpr UINT kTickMs = 15;
constexpr DWORD kNoId = 0xFFFF;

std::string WindowText(HWND window) {
    if (!window)
        return {};
    const int length = GetWindowTextLengthA(window);
    std::string text(static_cast<size_t>(std::max(length, 0)) + 1, '\0');
    const int got = GetWindowTextA(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

bool IsDialogWindow(HWND window) { return ClassOf(window) == "#32770"; }

BOOL CALLBACK CollectVisibleDialog(HWND window, LPARAM param) {
    if (IsWindowVisible(window) && IsDialogWindow(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The visible dialogs of this thread, topmost first, then the boxes put inside a page (a
// window of the thread that is no dialog).
std::vector<HWND> VisibleDialogs() {
    std::vector<HWND> found, windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectVisibleDialog, reinterpret_cast<LPARAM>(&found));
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND page : windows)
        if (!IsDialogWindow(page))
            for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                CollectVisibleDialog(child, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Reads the control ids of a dialog template (both the plain and the extended form).
class TemplateReader {
public:
    TemplateReader(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }

    uint16_t U16() {
        if (!Need(2))
            return 0;
        uint16_t v;
        std::memcpy(&v, data_ + at_, 2);
        at_ += 2;
        return v;
    }
    uint32_t U32() {
        if (!Need(4))
            return 0;
        uint32_t v;
        std::memcpy(&v, data_ + at_, 4);
        at_ += 4;
        return v;
    }
    void Skip(uint32_t n) {
        if (Need(n))
            at_ += n;
    }
    void AlignTo4() { Skip((4 - at_ % 4) % 4); }
    void SkipWideString() {
        while (ok_ && U16() != 0) {
        }
    }
    // A name or ordinal field: 0 none, 0xFFFF then an ordinal, else a wide string.
    void SkipNameOrOrdinal() {
        const uint16_t first = U16();
        if (first == 0xFFFF)
            U16();
        else if (first != 0)
            SkipWideString();
    }

private:
    bool Need(uint32_t n) {
        if (!ok_ || n > size_ - at_) {
            ok_ = false;
            return false;
        }
        return true;
    }
    const uint8_t* data_;
    uint32_t size_;
    uint32_t at_ = 0;
    bool ok_ = true;
};

std::vector<int> TemplateControlIds(const char* name) {
    uint32_t size = 0;
    const auto* data = static_cast<const uint8_t*>(LoadResData(name, MAKEINTRESOURCEA(5), &size));
    std::vector<int> ids;
    if (!data)
        return ids;
    TemplateReader r(data, size);
    const uint16_t version = r.U16();
    const uint16_t signature = r.U16();
    const bool extended = version == 1 && signature == 0xFFFF;
    uint32_t style;
    if (extended) {
        r.U32();  // help id
        r.U32();  // extended style
        style = r.U32();
    } else {
        style = version | (static_cast<uint32_t>(signature) << 16);
        r.U32();  // extended style
    }
    const uint16_t count = r.U16();
    r.Skip(8);  // x, y, cx, cy
    r.SkipNameOrOrdinal();  // menu
    r.SkipNameOrOrdinal();  // class
    r.SkipWideString();     // title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        r.U16();  // point size
        if (extended)
            r.Skip(4);  // weight, italic, character set
        r.SkipWideString();
    }
    for (uint16_t i = 0; i < count && r.ok(); ++i) {
        r.AlignTo4();
        uint32_t id;
        if (extended) {
            r.Skip(12 + 8);  // help id, extended style, style; x, y, cx, cy
            id = r.U32();
        } else {
            r.Skip(8 + 8);  // style, extended style; x, y, cx, cy
            id = r.U16();
        }
        r.SkipNameOrOrdinal();  // class
        r.SkipNameOrOrdinal();  // title
        r.Skip(r.U16());        // creation data
        const uint32_t low = id & 0xFFFF;
        if (r.ok() && low != 0 && low != kNoId)
            ids.push_back(static_cast<int>(low));
    }
    if (!r.ok())
        ids.clear();
    return ids;
}

}  // namespace

// --- DialogMatch

DialogMatch DialogMatch::Template(const char* name) {
    DialogMatch m;
    m.kind_ = Kind::Template;
    m.text_ = name ? name : "";
    return m;
}

DialogMatch DialogMatch::Caption(std::string caption) {
    DialogMatch m;
    m.kind_ = Kind::Caption;
    m.text_ = std::move(caption);
    return m;
}

DialogMatch DialogMatch::Alert(int32_t stringId) {
    DialogMatch m;
    m.kind_ = Kind::Alert;
    m.alertId_ = stringId;
    return m;
}

DialogMatch DialogMatch::Any() { return DialogMatch{}; }

bool DialogMatch::Matches(HWND dialog) const {
    switch (kind_) {
    case Kind::Any:
        return true;
    case Kind::Caption:
        return WindowText(dialog) == text_;
    case Kind::Alert:
        return AlertBoxStringId(dialog) == alertId_;
    case Kind::Template:
        if (!idsLoaded_) {
            templateIds_ = TemplateControlIds(text_.c_str());
            idsLoaded_ = true;
            EXPECT_FALSE(templateIds_.empty()) << "dialog template " << text_ << " not found or has no ids";
        }
        return !templateIds_.empty() &&
               std::all_of(templateIds_.begin(), templateIds_.end(),
                           [&](int id) { return GetDlgItem(dialog, id) != nullptr; });
    }
    return false;
}

std::string DialogMatch::Describe() const {
    switch (kind_) {
    case Kind::Any:
        return "any dialog";
    case Kind::Caption:
        return "dialog captioned \"" + text_ + "\"";
    case Kind::Alert:
        return "alert " + std::to_string(alertId_);
    case Kind::Template:
        return "dialog " + text_;
    }
    return {};
}

// --- DialogView

HWND DialogView::Item(int id) const {
    HWND item = GetDlgItem(dialog_, id);
    EXPECT_NE(item, nullptr) << "no control " << id << " in dialog \"" << WindowText(dialog_) << "\"";
    return item;
}

std::string DialogView::Caption() const { return WindowText(dialog_); }
std::string DialogView::Text(int id) const { return WindowText(Item(id)); }
void DialogView::SetText(int id, std::string_view text) const {
    SetWindowTextA(Item(id), std::string(text).c_str());
}

void DialogView::SetFileName(std::string_view path) const {
    constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
    SetText(Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit, path);
}

void DialogView::SetFileNameWide(std::wstring_view path) const {
    constexpr int kFileNameCombo = 0x47C, kFileNameEdit = 0x480;
    SetWindowTextW(Item(Exists(kFileNameCombo) ? kFileNameCombo : kFileNameEdit), std::wstring(path).c_str());
}

bool DialogView::IsChecked(int id) const {
    return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogView::SetChecked(int id, bool checked) const {
    HWND item = Item(id);
    // A radio button checked as a click checks it: the others of its group go off.
    const LONG type = GetWindowLongA(item, GWL_STYLE) & BS_TYPEMASK;
    if (checked && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON)) {
        HWND other = GetNextDlgGroupItem(dialog_, item, FALSE);
        for (int i = 0; i < 64 && other && other != item; ++i, other = GetNextDlgGroupItem(dialog_, other, FALSE))
            SendMessageA(other, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(item));
}

namespace {
bool IsComboBox(HWND item) { return ClassOf(item) == "ComboBox"; }
}  // namespace

int DialogView::ListSelection(int id) const {
    HWND item = Item(id);
    const LRESULT r = SendMessageA(item, IsComboBox(item) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    return r < 0 ? -1 : static_cast<int>(r);
}

void DialogView::SetListSelection(int id, int index) const {
    HWND item = Item(id);
    const bool combo = IsComboBox(item);
    SendMessageA(item, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item));
}

int DialogView::ListCount(int id) const {
    HWND item = Item(id);
    return static_cast<int>(SendMessageA(item, IsComboBox(item) ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
}

std::string DialogView::ListItem(int id, int index) const {
    HWND item = Item(id);
    const bool combo = IsComboBox(item);
    const LRESULT length = SendMessageA(item, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0)
        return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendMessageA(item, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool DialogView::Exists(int id) const { return GetDlgItem(dialog_, id) != nullptr; }
bool DialogView::IsVisible(int id) const { return IsWindowVisible(Item(id)) != 0; }
bool DialogView::IsEnabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }

RECT DialogView::ControlRect(int id) const {
    RECT r{};
    GetWindowRect(Item(id), &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE DialogView::WindowSize() const {
    RECT r{};
    GetWindowRect(dialog_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE DialogView::ClientSize() const {
    RECT r{};
    GetClientRect(dialog_, &r);
    return {r.right, r.bottom};
}

int DialogView::DefaultButton() const {
    const LRESULT r = SendMessageA(dialog_, DM_GETDEFID, 0, 0);
    return HIWORD(r) == DC_HASDEFID ? LOWORD(r) : 0;
}

int DialogView::FocusId() const {
    HWND focus = GetFocus();
    return focus && IsChild(dialog_, focus) ? GetDlgCtrlID(focus) : 0;
}

int32_t DialogView::AlertId() const { return AlertBoxStringId(dialog_); }

std::vector<std::string> DialogView::ButtonLabels() const {
    std::vector<std::string> labels;
    for (int id = kAlertButton1; id <= kAlertButton3; ++id) {
        HWND button = GetDlgItem(dialog_, id);
        if (button && IsWindowVisible(button))
            labels.push_back(WindowText(button));
    }
    return labels;
}

std::string DialogView::MessageBoxText() const {
    if (HWND text = GetDlgItem(dialog_, kNoId); text && ClassOf(text) == "Static")
        return WindowText(text);
    // Otherwise the longest static text.
    std::string longest;
    for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == "Static") {
            std::string text = WindowText(child);
            if (text.size() > longest.size())
                longest = std::move(text);
        }
    }
    return longest;
}

void DialogView::Press(int id) const {
    HWND button = Item(id);
    if (!button)
        return;
    EXPECT_TRUE(IsWindowVisible(button) && IsWindowEnabled(button))
        << "button " << id << " pressed while hidden or disabled";
    PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

void DialogView::Close(INT_PTR result) const { EndDialog(dialog_, result); }

// --- DialogDriver

DialogDriver::~DialogDriver() {
    if (timer_)
        End();
}

DialogDriver& DialogDriver::Expect(DialogMatch match, Answer answer) {
    steps_.push_back({std::move(match), std::move(answer)});
    return *this;
}

void DialogDriver::Begin() {
    EXPECT_EQ(g_activeDriver, nullptr) << "dialog drivers do not nest";
    g_activeDriver = this;
    seen_.clear();
    answeredLog_.clear();
    waiting_ = nullptr;
    timer_ = SetTimer(nullptr, 0, kTickMs, &DialogDriver::OnTimer);
    EXPECT_NE(timer_, 0u) << "no timer for the dialog driver";
}

void DialogDriver::End() {
    if (timer_)
        KillTimer(nullptr, timer_);
    timer_ = 0;
    if (g_activeDriver == this)
        g_activeDriver = nullptr;
    for (const Step& step : steps_)
        ADD_FAILURE() << "expected " << step.match.Describe() << ", which never appeared; " << AnsweredBefore();
    steps_.clear();
}

std::string DialogDriver::AnsweredBefore() const {
    return "answered before:" + (answeredLog_.empty() ? std::string(" none") : answeredLog_);
}

void CALLBACK DialogDriver::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_activeDriver)
        g_activeDriver->Tick();
}

void DialogDriver::Tick() {
    if (inTick_)
        return;
    inTick_ = true;
    const std::vector<HWND> dialogs = VisibleDialogs();
    for (HWND d : dialogs)
        seen_.insert(d);

    if (!steps_.empty()) {
        for (HWND d : dialogs) {
            if (!steps_.front().match.Matches(d))
                continue;
            Step step = std::move(steps_.front());
            steps_.pop_front();
            DialogView view(d);
            answeredLog_ += " \"" + view.Caption() + "\" (alert id " + std::to_string(view.AlertId()) + ");";
            step.answer(view);
            ++answered_;
            waiting_ = nullptr;
            inTick_ = false;
            return;
        }
    }

    // A dialog nobody waits for: give it the timeout, then fail and close it.
    if (dialogs.empty()) {
        waiting_ = nullptr;
    } else if (waiting_ != dialogs.front()) {
        waiting_ = dialogs.front();
        waitingSince_ = GetTickCount();
    } else if (GetTickCount() - waitingSince_ > timeoutMs_) {
        DialogView view(waiting_);
        ADD_FAILURE() << "unexpected dialog \"" << view.Caption() << "\" (alert id " << view.AlertId()
                      << ")" << (steps_.empty() ? "" : "; waiting for " + steps_.front().match.Describe())
                      << "; " << AnsweredBefore();
        view.Close(IDCANCEL);
        waiting_ = nullptr;
    }
    inTick_ = false;
}
