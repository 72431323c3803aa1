// Testing buttons: a stack as a quiz. An owner's testing choice records the answer given on the
// current card when its actions run (the answer record itself is the card list's, CardList.h),
// or asks for the user's name; the score counts the answers of the open stack.
//
//   TestingButtons.cpp       the user's name and the score
//   TestingButtons_win.cpp   RecordTestingAnswer, the name prompt "ASKUSERNAME" and the dialog
//                            "TESTING" that sets an owner's choice
#pragma once

#include <cstdint>
#include <string_view>

// The testing word of an action record (bit 15 is masked off when the block is read).
enum TestingChoice : int16_t { kTestingNone = 0, kTestingCorrect = 1, kTestingIncorrect = 2, kTestingAskName = 3 };

// The user's name: at most 32 characters, empty until given; one for the whole run, shared by
// every stack.
inline constexpr size_t kUserNameCharacters = 32;

// ---- TestingButtons.cpp ----
std::string_view GetTestingUserName();
// Keeps at most the first 32 characters.
void SetTestingUserName(std::string_view name);

// The score of the open stack: the live cards that hold an answer, those of them answered
// correctly, and the user's name as a length-prefixed string (valid until the name changes).
struct TestingScore {
    int answered = 0;
    int correct = 0;
    const uint8_t* userName = nullptr;
};
TestingScore GetCurrentScore();

#ifdef _WIN32
#include <windows.h>

// ---- TestingButtons_win.cpp ----
// Runs first when an owner's actions are performed, with the record's whole testing word as a
// signed value and the owner's length-prefixed label: 1 or 2 keeps a correct or an incorrect
// answer on the current card (a later answer replaces it; the label is kept up to 255
// characters; nothing happens when memory runs out), 3 asks for the user's name; every other
// value, negative ones (bit 15 set) included, does nothing.
void RecordTestingAnswer(int16_t choice, const uint8_t* label);
// "ASKUSERNAME" over the main window: OK keeps at most 32 characters of the edit as the name.
void AskUserName();
// "TESTING" on the choice variable: starts on its radio (1004 to 1007 for 0 to 3); OK writes
// the choice clicked and returns 1, Cancel returns 0 and leaves the variable as it was.
int RunTestingDialog(HWND window, uint16_t* choice);
#endif
