// Recording an answer when an owner's actions run, the name prompt and the "TESTING" dialog.
#include "actions/TestingButtons.h"

#include <iterator>
#include <string>
#include <string_view>

#include "core/system/PluginModule.h"
#include "core/ui/Resources.h"
#include "core/ui/WindowUtils.h"
#include "resources/testing_ids.h"
#include "stack/cards/CardList.h"

namespace {

constexpr int kTestingRadios[] = {IDC_TESTING_NONE, IDC_TESTING_CORRECT, IDC_TESTING_INCORRECT,
                                  IDC_TESTING_ASK_NAME};
constexpr uint16_t kTestingChoices = static_cast<uint16_t>(std::size(kTestingRadios));

std::string_view LabelText(const uint8_t* label) {
    return label ? std::string_view(reinterpret_cast<const char*>(label + 1), label[0]) : std::string_view();
}

INT_PTR CALLBACK AskUserNameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        CenterWindowOnScreen(dialog);
        SetFocus(GetDlgItem(dialog, IDC_USERNAME_EDIT));
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            HWND edit = GetDlgItem(dialog, IDC_USERNAME_EDIT);
            std::string text(static_cast<size_t>(GetWindowTextLengthA(edit)) + 1, '\0');
            text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), static_cast<int>(text.size()))));
            SetTestingUserName(text);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);  // closed without OK: the name stays
        return TRUE;
    }
    return FALSE;
}

// The dialog's parameter is the working choice, which OK's caller writes back.
INT_PTR CALLBACK TestingDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choice = KeptDialogState<uint16_t>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        // A choice the record holds beyond the four checks no radio.
        if (choice && *choice < kTestingChoices)
            CheckRadioButton(dialog, IDC_TESTING_NONE, IDC_TESTING_ASK_NAME, kTestingRadios[*choice]);
        CenterWindowOnScreen(dialog);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id >= IDC_TESTING_NONE && id <= IDC_TESTING_ASK_NAME && HIWORD(wParam) == BN_CLICKED && choice)
            *choice = static_cast<uint16_t>(id - IDC_TESTING_NONE);
        else if (id == IDOK || id == IDCANCEL)
            EndDialog(dialog, id);
        return TRUE;
    }
    }
    return FALSE;
}

}  // namespace

void RecordTestingAnswer(int16_t choice, const uint8_t* label) {
    switch (choice) {
    case kTestingCorrect:
    case kTestingIncorrect:
        // Out of memory the answer is simply not kept: a quiz never stops the actions.
        SetCardTestingAnswer(GetCurrentCardRecord(), choice == kTestingCorrect, LabelText(label));
        break;
    case kTestingAskName:
        AskUserName();
        break;
    default:
        break;
    }
}

void AskUserName() { ResDialogBox(GetMainWindow(), AskUserNameProc, "ASKUSERNAME"); }

int RunTestingDialog(HWND window, uint16_t* choice) {
    uint16_t working = *choice;
    if (ResDialogBoxParam(window, TestingDialogProc, "TESTING", reinterpret_cast<LPARAM>(&working)) != IDOK)
        return 0;
    *choice = working;
    return 1;
}
