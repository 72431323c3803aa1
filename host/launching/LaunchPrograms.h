// Launching programs and opening web addresses, only with the person's consent.
//
//   LaunchPrograms_win.cpp     the launch action's dialog "LAUNCHDLG", the launch itself, the
//                              permission, the work record
//   LaunchProgramsUrl_win.cpp  opening addresses through the shell, and the one shell call
//   LaunchConsent.cpp          the rules: what runs, what is asked, what is refused
//   LaunchConsent_win.cpp      the question "LAUNCHASK" and where downloads lie
//   AskForUrl_win.cpp          the address dialog "GETURL"
//
// Launch choices live in file slots 9 (program) and 15 (document). The launch action's
// flags word: bit 0 configured, bit 14 quit after launch (kept, but a launch never closes the
// browser's window).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

inline constexpr uint16_t kLaunchConfigured = 0x0001;
inline constexpr uint16_t kLaunchQuitAfter = 0x4000;
inline constexpr uint32_t kAlertLaunchFailed = 2344;
// The work record: the flags word, then copies of slots 9 and 15.
inline constexpr uint32_t kLaunchWorkBytes = 738;

// ---- LaunchPrograms_win.cpp ----
// Runs "LAUNCHDLG" over the owner on the flags word and slots 9 and 15. OK: bit 0 set, bit 14
// from the dialog, the slots take the edited choice; 1 when a program or document is named,
// else the flags word becomes 0 and the result 0. Cancel changes nothing and gives 0.
int EditLaunchAction(HWND owner, uint16_t* flags);
// Starts the program of slot 9 (or the one the shell associates with the document of slot 15)
// with that document, after the person said yes. 1 when started; failures show alert 2344
// once and give 0; a refusal by the person gives 0 without an alert.
int LaunchApplication(uint16_t flags);
// Whether user/govern of the preferences file allows launching.
bool IsLaunchAllowed();
void FreeLaunchBuffer();
// The release chain's name for it.
void FreeLaunchDialogData();
// Slot 9 and 15 as the launch reads them: a slot names a file when path and name are set.
bool SlotNamesFile(int slot);

// ---- LaunchProgramsUrl_win.cpp ----
// Opens an address or document through the shell: web and mail addresses directly, anything
// else after the person said yes. True on success.
bool OpenUrl(const char* address);
// The same for a text that may carry a length byte in front; null gives false.
bool OpenUrlString(const char* text);

// Every start of a program or document goes through here: the shell's "open" with the card
// window as owner, shown normally. The shell's result.
intptr_t ShellOpen(const char* file, const char* parameters, const char* folder);
// Tests watch the shell calls (host/wiring installs no observer; tests/host/launching/Launch_win_test.cpp does).
using ShellOpenObserver = void (*)(const char* file, const char* parameters, const char* folder, intptr_t result);
void SetShellOpenObserver(ShellOpenObserver observer);

// ---- LaunchConsent_win.cpp ----
// Asks with "LAUNCHASK", naming program and document (or address) in full; its default button
// refuses. True only for "Yes".
bool AskLaunchConsent(const std::string& program, const std::string& document);
// Whether the file came from the web (see IsDownloadedPath).
bool IsDownloadedFile(const char* path);
// Whether the current stack is a downloaded copy.
bool IsStackFromWeb();

// ---- AskForUrl_win.cpp ----
// Runs "GETURL"; true when confirmed (the URL buffer then holds the address).
bool AskForUrl(HWND owner);
inline constexpr uint32_t kStringDefaultUrl = 1038;
