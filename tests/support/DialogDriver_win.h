// Answering modal dialogs in tests.
//
// A modal dialog runs its own message loop and blocks the test until it ends. The driver keeps
// everything on the test's thread: while `Run` calls the code under test, a thread timer fires
// inside whatever modal loop is running, finds the dialog the next expected step waits for,
// and calls that step's answer, which reads and sets controls and presses a button. Pressing
// posts the click, so the dialog ends after the answer returns.
//
//   DialogDriver driver;
//   driver.Expect(DialogMatch::Template("DOGIEHELP"), [](DialogView& box) {
//       EXPECT_EQ(box.Text(51), "Sorry, some kind of error has occurred.");
//       EXPECT_EQ(box.ButtonLabels(), (std::vector<std::string>{"OK"}));
//       box.Press(52);
//   });
//   EXPECT_EQ(driver.Run([] { return ShowAlert(2235); }), 1);
//
// Steps are answered in order, one per timer tick; a step may expect the same dialog again
// after its earlier answer left it open. A dialog that no step matches within the timeout is
// reported as a test failure and closed (EndDialog with IDCANCEL); steps left unanswered when
// `Run` returns are reported too. `DialogsSeen` counts the dialogs that appeared during `Run`,
// so a test can check that nothing was shown. Answers must not open modal windows themselves.
//
// Under Wine on a display without a window manager, hiding a managed window waits two seconds
// for the manager; a prefix with the X11 driver's "Managed" value set to "N" closes at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Which dialog a step waits for. Only visible dialog windows of the test's thread match.
// A dialog procedure that handles nothing: a template made into a hidden window only to measure
// its controls.
inline INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

class DialogMatch {
public:
    // A dialog made from the module's template: every control id of the template is present.
    static DialogMatch Template(const char* name);
    static DialogMatch Caption(std::string caption);        // exact window title
    static DialogMatch Alert(int32_t stringId);              // a standard alert showing that id
    static DialogMatch Any();

    bool Matches(HWND dialog) const;
    std::string Describe() const;

private:
    enum class Kind { Template, Caption, Alert, Any };
    Kind kind_ = Kind::Any;
    std::string text_;
    int32_t alertId_ = 0;
    mutable bool idsLoaded_ = false;
    mutable std::vector<int> templateIds_;
};

// One open dialog as a test sees it. Control ids are the dialog's own.
class DialogView {
public:
    explicit DialogView(HWND dialog) : dialog_(dialog) {}
    HWND Window() const { return dialog_; }

    std::string Caption() const;
    std::string Text(int id) const;
    void SetText(int id, std::string_view text) const;
    bool IsChecked(int id) const;
    void SetChecked(int id, bool checked) const;  // also tells the dialog, as a click would
    int ListSelection(int id) const;              // list or combo box; -1 for none
    void SetListSelection(int id, int index) const;
    int ListCount(int id) const;
    std::string ListItem(int id, int index) const;
    bool Exists(int id) const;
    bool IsVisible(int id) const;
    bool IsEnabled(int id) const;
    RECT ControlRect(int id) const;  // in the dialog's client coordinates
    SIZE WindowSize() const;
    SIZE ClientSize() const;
    int DefaultButton() const;       // the dialog's default push button id, 0 when none
    int FocusId() const;             // id of the control with the focus, 0 when none

    // Standard alert boxes: the string id shown (-1 for other dialogs), and the labels of the
    // visible buttons from the first (control 52) on.
    int32_t AlertId() const;
    std::vector<std::string> ButtonLabels() const;
    // The text of a system message box (its message static).
    std::string MessageBoxText() const;

    // The name box of the system's file dialogs (a combo box, or an edit on older systems).
    void SetFileName(std::string_view path) const;
    // The same in wide characters (names outside the code page).
    void SetFileNameWide(std::wstring_view path) const;

    void Press(int id) const;        // a click on an enabled, visible button
    void Close(INT_PTR result) const;  // ends the dialog as its own code would

private:
    HWND Item(int id) const;
    HWND dialog_;
};

class DialogDriver {
public:
    using Answer = std::function<void(DialogView&)>;

    explicit DialogDriver(DWORD timeoutMs = 5000) : timeoutMs_(timeoutMs) {}
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    DialogDriver& Expect(DialogMatch match, Answer answer);

    // Calls `showing` with the driver answering; returns what it returns.
    template <typename F>
    auto Run(F&& showing) -> decltype(showing()) {
        Begin();
        struct Ender {
            DialogDriver* d;
            ~Ender() { d->End(); }
        } ender{this};
        return showing();
    }

    int DialogsSeen() const { return static_cast<int>(seen_.size()); }
    int Answered() const { return answered_; }

private:
    struct Step {
        DialogMatch match;
        Answer answer;
    };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Begin();
    void End();
    void Tick();
    std::string AnsweredBefore() const;  // for the failure messages

    DWORD timeoutMs_;
    std::deque<Step> steps_;
    std::set<HWND> seen_;
    int answered_ = 0;
    std::string answeredLog_;    // what each answered step met, for the failure messages
    UINT_PTR timer_ = 0;
    bool inTick_ = false;
    HWND waiting_ = nullptr;     // an unmatched dialog being timed
    DWORD waitingSince_ = 0;
};
