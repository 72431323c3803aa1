// Launching and opening addresses in the plug-in hosted by the test browser's code, with a test
// program (launchprobe.exe, which logs its command line) registered in this prefix as the
// handler of a document type and of "http": what starts on "Yes", what the default button
// refuses, what is refused without a question, and the two dialogs of the launch action.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "StackBuilder.h"
#include "actions/ActionBlock.h"
#include "core/files/FileSlots.h"
#include "graphics/pixels/CardOffscreen.h"
#include "host/launching/LaunchPrograms.h"
#include "host/player/ButtonActions.h"
#include "host/state/Preferences.h"
#include "objects/text/TextFields.h"
#include "resources/launch_ids.h"
#include "tests/support/DialogDriver_win.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

namespace sb = stackbuilder;

std::string BuildDir() {
    const char* build = std::getenv("LOOM_BUILD");
    return build ? build : ".";
}

// A full path with its drive: the shell starts programs in other folders (and drives).
std::string WindowsPath(const std::string& path) {
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : path;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Pumps until the log holds more than `before` bytes (a started probe has written) or the
// time is up.
// The probe log once it holds the expected text after `from` (probes started earlier may still
// be writing their lines), or as it is when the time is up.
std::string WaitForLog(const std::string& log, const std::string& expected, size_t from = 0, DWORD ms = 10000) {
    const DWORD start = GetTickCount();
    std::string text = ReadFile(log);
    while ((text.size() <= from || text.find(expected, from) == std::string::npos) && GetTickCount() - start < ms) {
        PumpPageMessages();
        Sleep(50);
        text = ReadFile(log);
    }
    return text;
}

// The default value of a HKEY_CLASSES_ROOT key, set and given back at the end of the test.
class ClassCommand {
public:
    ClassCommand(const std::string& key, const std::string& value) : key_(key) {
        char old[1024] = {};
        LONG size = sizeof old;
        had_ = RegQueryValueA(HKEY_CLASSES_ROOT, key.c_str(), old, &size) == ERROR_SUCCESS;
        old_ = old;
        EXPECT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size())),
                  ERROR_SUCCESS);
    }
    ~ClassCommand() {
        if (had_)
            RegSetValueA(HKEY_CLASSES_ROOT, key_.c_str(), REG_SZ, old_.c_str(), static_cast<DWORD>(old_.size()));
    }

private:
    std::string key_;
    std::string old_;
    bool had_ = false;
};

struct ShellCall {
    std::string file, parameters, folder;
    intptr_t result;
};
std::vector<ShellCall> g_calls;
void RecordShellCall(const char* file, const char* parameters, const char* folder, intptr_t result) {
    g_calls.push_back({file ? file : "", parameters ? parameters : "", folder ? folder : "", result});
}

void NameSlot(int slot, const std::string& path) {
    if (path.empty())
        *GetFileSpec(slot) = FileSpec{};
    else
        SetFileSpecFromPath(slot, path.c_str());
}

class LaunchInPlugin : public LinkedPluginTest {
protected:
    void SetUp() override {
        sb::Stack stack;
        stack.cardWidth = 160;
        stack.cardHeight = 120;
        stack.cards.push_back(sb::PictureCard(1, sb::SolidPicture(160, 120, 8, 0)));
        // Address buttons: a web address and a file.
        for (const auto& [id, address] : {std::pair<uint16_t, std::string_view>{1, "http://localhost/button"},
                                          std::pair<uint16_t, std::string_view>{2, "file:///C:/windows/notepad.exe"}}) {
            sb::Object button = sb::ShapedButton(id, {int16_t(id * 40), 10, int16_t(id * 40 + 30), 30}, "Address", 2);
            button.words.push_back({20, 0x40});
            button.chunks.push_back(sb::Chunk{61, 0, {}, 0, {}, {}, {address.begin(), address.end()}});
            stack.cards[0].objects.push_back(button);
        }
        ASSERT_TRUE(Open(stack));
        probe_ = WindowsPath(BuildDir() + "/launchprobe.exe");
        ASSERT_EQ(GetFileAttributesA(probe_.c_str()) != INVALID_FILE_ATTRIBUTES, true) << probe_;
        log_ = WindowsPath(BuildDir() + "/launchprobe-" + ProcessTag() + ".log");
        DeleteFileA(log_.c_str());
        SetEnvironmentVariableA("LAUNCHPROBE_LOG", log_.c_str());
        document_ = WindowsPath(BuildDir() + "/launch test " + ProcessTag() + ".loomdoc");
        std::ofstream(document_) << "a document";
        WritePrefString("user", "govern", nullptr);
        g_calls.clear();
        SetShellOpenObserver(RecordShellCall);
    }
    void TearDown() override {
        SetShellOpenObserver(nullptr);
        WritePrefString("user", "govern", nullptr);
        NameSlot(kSlotLaunchProgram, "");
        NameSlot(kSlotLaunchDocument, "");
        FreeLaunchBuffer();
        FreeUrlBuffer();
        DeleteFileA(document_.c_str());
        DeleteFileA(log_.c_str());
        LinkedPluginTest::TearDown();
    }

    std::string probe_, log_, document_;
};

TEST_F(LaunchInPlugin, ADocumentStartsItsProgramOnlyAfterYes) {
    ClassCommand type(".loomdoc", "LoomDocTest");
    ClassCommand command("LoomDocTest\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    // The page's stack opened again from this machine: its document is this machine's file (a
    // stack from the web would ask its site for it).
    ASSERT_TRUE(OpenAgainFromThisMachine(page));
    NameSlot(kSlotLaunchProgram, "");
    NameSlot(kSlotLaunchDocument, document_);

    // The default button refuses: nothing starts, no alert follows.
    DialogDriver refuse;
    refuse.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
        EXPECT_NE(box.Text(IDC_LAUNCHASK_TEXT).find(document_), std::string::npos);
        EXPECT_EQ(box.DefaultButton(), IDNO);
        box.Press(box.DefaultButton());
    });
    EXPECT_EQ(refuse.Run([] { return LaunchApplication(kLaunchConfigured); }), 0);
    EXPECT_EQ(refuse.DialogsSeen(), 1);
    EXPECT_TRUE(g_calls.empty());

    // "Yes" to opening the document, asked before anything was looked for: the associated
    // program with the quoted path.
    DialogDriver yes;
    yes.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
        const std::string text = box.Text(IDC_LAUNCHASK_TEXT);
        EXPECT_NE(text.find(document_), std::string::npos) << text;
        box.Press(IDYES);
    });
    EXPECT_EQ(yes.Run([] { return LaunchApplication(kLaunchConfigured | kLaunchQuitAfter); }), 1);
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].parameters, "\"" + document_ + "\"");
    EXPECT_GT(g_calls[0].result, 32);
    const std::string logged = WaitForLog(log_, "\"" + document_ + "\"");
    EXPECT_NE(logged.find("\"" + document_ + "\""), std::string::npos) << logged;
    EXPECT_TRUE(IsWindow(page.embed)) << "quit after launch leaves the browser's window";

    // govern forbids: alert 2344, no question, nothing started.
    for (const char* govern : {"1", "65536", "yes"}) {
        WritePrefString("user", "govern", govern);
        DialogDriver forbidden;
        forbidden.Expect(DialogMatch::Alert(2344), [](DialogView& box) { box.Press(box.DefaultButton()); });
        EXPECT_EQ(forbidden.Run([] { return LaunchApplication(kLaunchConfigured); }), 0) << govern;
        EXPECT_EQ(forbidden.DialogsSeen(), 1) << govern;
    }
    WritePrefString("user", "govern", "0");
    DialogDriver allowed;
    allowed.Expect(DialogMatch::Template("LAUNCHASK"), [](DialogView& box) { box.Press(IDNO); });
    EXPECT_EQ(allowed.Run([] { return LaunchApplication(kLaunchConfigured); }), 0);
    EXPECT_EQ(g_calls.size(), 1u);
}

TEST_F(LaunchInPlugin, AProgramServedBesideAWebStackIsRefused) {
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotCurrentStack, folder, sizeof folder);
    const std::string served = std::string(folder) + "\\served-" + ProcessTag() + ".exe";
    ASSERT_TRUE(CopyFileA(probe_.c_str(), served.c_str(), FALSE));
    // The stack names the program where it lies, beside its downloaded copy. The person is asked
    // first, naming it as the stack does (nothing is looked for before); then the downloaded
    // program is refused. One the stack names elsewhere is not searched for near it at all.
    NameSlot(kSlotLaunchProgram, served);
    NameSlot(kSlotLaunchDocument, "");
    DialogDriver driver;
    driver.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
        EXPECT_NE(box.Text(IDC_LAUNCHASK_TEXT).find(served), std::string::npos) << box.Text(IDC_LAUNCHASK_TEXT);
        box.Press(IDYES);
    });
    driver.Expect(DialogMatch::Alert(2344), [](DialogView& box) { box.Press(box.DefaultButton()); });
    EXPECT_EQ(driver.Run([] { return LaunchApplication(kLaunchConfigured); }), 0);
    EXPECT_EQ(driver.DialogsSeen(), 2) << "asked, then refused";
    EXPECT_TRUE(g_calls.empty());
    NameSlot(kSlotLaunchProgram, "C:\\nowhere\\served-" + ProcessTag() + ".exe");
    DialogDriver elsewhere;
    elsewhere.Expect(DialogMatch::Template("LAUNCHASK"), [](DialogView& box) { box.Press(IDYES); });
    elsewhere.Expect(DialogMatch::Alert(2344), [](DialogView& box) { box.Press(box.DefaultButton()); });
    EXPECT_EQ(elsewhere.Run([] { return LaunchApplication(kLaunchConfigured); }), 0);
    EXPECT_EQ(elsewhere.DialogsSeen(), 2) << "not found where named: no search, no \"Please find\"";
    EXPECT_TRUE(g_calls.empty());
    // Nothing named at all: 2344 as well.
    NameSlot(kSlotLaunchProgram, "");
    DialogDriver nothing;
    nothing.Expect(DialogMatch::Alert(2344), [](DialogView& box) { box.Press(box.DefaultButton()); });
    EXPECT_EQ(nothing.Run([] { return LaunchApplication(kLaunchConfigured); }), 0);
    DeleteFileA(served.c_str());
}

TEST_F(LaunchInPlugin, WebAddressesOpenUnaskedAndOthersAsk) {
    ClassCommand http("http\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    DialogDriver none;
    EXPECT_TRUE(none.Run([] { return OpenUrl("http://localhost/a"); }));
    EXPECT_EQ(none.DialogsSeen(), 0);
    const std::string logged = WaitForLog(log_, "http://localhost/a");
    EXPECT_NE(logged.find("http://localhost/a"), std::string::npos) << logged;

    // A length byte in front is skipped; a 105-character address beginning with 'h' is whole.
    std::string longAddress = "http://localhost/";
    longAddress.resize(105, 'b');
    g_calls.clear();
    EXPECT_TRUE(none.Run([&] { return OpenUrlString(longAddress.c_str()); }));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].file, longAddress);

    for (const char* address : {"file:///C:/windows/notepad.exe", "calc", "http://a b"}) {
        g_calls.clear();
        DialogDriver ask;
        ask.Expect(DialogMatch::Template("LAUNCHASK"), [&](DialogView& box) {
            EXPECT_NE(box.Text(IDC_LAUNCHASK_TEXT).find(address), std::string::npos);
            box.Press(box.DefaultButton());
        });
        EXPECT_FALSE(ask.Run([&] { return OpenUrl(address); })) << address;
        EXPECT_TRUE(g_calls.empty()) << address;
    }
    EXPECT_FALSE(OpenUrlString(nullptr));
    EXPECT_FALSE(OpenUrl(""));

    // Clicked address buttons: the web address reaches its handler unasked, the file asks.
    const size_t before = ReadFile(log_).size();
    DialogDriver clicked;
    clicked.Run([] { return DoButtonActions(GetCardWindow(), 1, PersonsAct::Of(WM_LBUTTONUP)); });
    EXPECT_EQ(clicked.DialogsSeen(), 0);
    const std::string again = WaitForLog(log_, "http://localhost/button", before);
    EXPECT_NE(again.find("http://localhost/button", before), std::string::npos) << again;
    g_calls.clear();
    DialogDriver asked;
    asked.Expect(DialogMatch::Template("LAUNCHASK"), [](DialogView& box) {
        EXPECT_NE(box.Text(IDC_LAUNCHASK_TEXT).find("file:///C:/windows/notepad.exe"), std::string::npos);
        box.Press(box.DefaultButton());
    });
    asked.Run([] { return DoButtonActions(GetCardWindow(), 2, PersonsAct::Of(WM_LBUTTONUP)); });
    EXPECT_TRUE(g_calls.empty());
}

// A field's link notification on a button release, as the card window gets it: the range is
// taken within the text and cut to 255 characters; a web address opens unasked.
TEST_F(LaunchInPlugin, ALinkNotificationOpensItsRangeOfTheField) {
    ClassCommand http("http\\shell\\open\\command", "\"" + probe_ + "\" \"%1\"");
    HWND field = CreateWindowExA(0, kTextFieldClass, "", WS_CHILD | ES_MULTILINE, 0, 0, 100, 40, page.embed,
                                 reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(field);
    const auto notify = [&](LONG start, LONG end) {
        ENLINK link = {};
        link.nmhdr = {field, 7, EN_LINK};
        link.msg = WM_LBUTTONUP;
        link.chrg = {start, end};
        SendMessageA(page.embed, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&link));
    };
    std::string text = "xxxx http://localhost/";
    text.resize(400, 'c');
    TextSetText(field, text.c_str());
    DialogDriver none;
    EXPECT_TRUE(none.Run([&] { notify(5, -1); return true; }));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].file, text.substr(5, 255)) << "to the text's end, cut to 255";
    g_calls.clear();
    EXPECT_TRUE(none.Run([&] { notify(30, 5); return true; }));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_EQ(g_calls[0].file, text.substr(5, 25)) << "reversed";
    g_calls.clear();
    EXPECT_TRUE(none.Run([&] { notify(1000, 2000); return true; }));
    EXPECT_TRUE(g_calls.empty()) << "past the text: nothing";

    TextSetText(field, "see http://localhost/a");
    EXPECT_TRUE(none.Run([&] { notify(4, -1); return true; }));
    EXPECT_EQ(none.DialogsSeen(), 0);
    const std::string logged = WaitForLog(log_, "http://localhost/a\"");
    EXPECT_NE(logged.find("http://localhost/a\""), std::string::npos) << logged;
    DestroyWindow(field);
}

TEST_F(LaunchInPlugin, TheLaunchDialogAndTheAddressDialog) {
    NameSlot(kSlotLaunchProgram, probe_);
    NameSlot(kSlotLaunchDocument, document_);
    uint16_t flags = kLaunchConfigured | kLaunchQuitAfter;
    // Cancel changes nothing.
    DialogDriver cancel;
    cancel.Expect(DialogMatch::Template("LAUNCHDLG"), [](DialogView& box) {
        EXPECT_TRUE(box.IsChecked(IDC_LAUNCH_QUIT));
        EXPECT_EQ(box.FocusId(), IDC_LAUNCH_CHOOSE_DOCUMENT);
        EXPECT_EQ(box.Text(IDC_LAUNCH_PROGRAM), "launchprobe.exe");
        box.Press(IDCANCEL);
    });
    EXPECT_EQ(cancel.Run([&] { return EditLaunchAction(page.embed, &flags); }), 0);
    EXPECT_EQ(flags, kLaunchConfigured | kLaunchQuitAfter);
    EXPECT_TRUE(SlotNamesFile(kSlotLaunchProgram));

    // OK keeps the choice; bit 14 follows the box.
    DialogDriver ok;
    ok.Expect(DialogMatch::Template("LAUNCHDLG"), [](DialogView& box) {
        box.SetChecked(IDC_LAUNCH_QUIT, false);
        box.Press(IDOK);
    });
    EXPECT_EQ(ok.Run([&] { return EditLaunchAction(page.embed, &flags); }), 1);
    EXPECT_EQ(flags, kLaunchConfigured);

    // "Clear Files" empties both names; OK without a path gives 0 and flags 0.
    DialogDriver clear;
    clear.Expect(DialogMatch::Template("LAUNCHDLG"), [](DialogView& box) {
        box.Press(IDC_LAUNCH_CLEAR);
    });
    clear.Expect(DialogMatch::Template("LAUNCHDLG"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_LAUNCH_PROGRAM), "");
        EXPECT_EQ(box.Text(IDC_LAUNCH_DOCUMENT), "");
        box.Press(IDOK);
    });
    EXPECT_EQ(clear.Run([&] { return EditLaunchAction(page.embed, &flags); }), 0);
    EXPECT_EQ(flags, 0);
    EXPECT_FALSE(SlotNamesFile(kSlotLaunchProgram) || SlotNamesFile(kSlotLaunchDocument));

    // GETURL: the default address, OK only with text, the text kept.
    FreeUrlBuffer();
    DialogDriver url;
    url.Expect(DialogMatch::Template("GETURL"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_GETURL_EDIT), "http://");
        EXPECT_TRUE(box.IsEnabled(IDOK));
        HWND edit = GetDlgItem(box.Window(), IDC_GETURL_EDIT);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SendMessageA(edit, WM_CLEAR, 0, 0);
        EXPECT_FALSE(box.IsEnabled(IDOK)) << "empty edit";
        for (char c : std::string("www.example.org"))
            SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
        EXPECT_TRUE(box.IsEnabled(IDOK));
        box.Press(IDOK);
    });
    EXPECT_TRUE(url.Run([&] { return AskForUrl(page.embed); }));
    ASSERT_TRUE(LockUrlBuffer());
    EXPECT_STREQ(LockUrlBuffer(), "www.example.org");
    DialogDriver again;
    again.Expect(DialogMatch::Template("GETURL"), [](DialogView& box) {
        EXPECT_EQ(box.Text(IDC_GETURL_EDIT), "www.example.org");
        box.Press(IDCANCEL);
    });
    EXPECT_FALSE(again.Run([&] { return AskForUrl(page.embed); }));
}

}  // namespace
