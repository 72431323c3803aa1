// An action's animated object made or changed: a new one from a film and a recorded path, an
// existing one from the block; the dialog run until OK or Cancel, tried on the card between, and
// kept in the action block.
#include "authoring/animation/AnimationEdit.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "core/events/EditorGuard.h"
#include "core/system/PluginModule.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/ToolNumbers.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/animation/AnimPlayback.h"
#include "resources/animedit_ids.h"
#include "stack/cards/CardList.h"
#include "authoring/animation/AnimRecording.h"
#include "authoring/animation/AnimationDialog.h"
#include "authoring/animation/AnimSource.h"
#include "format/StackFile.h"

namespace {

constexpr uint32_t kNewSpriteInterval = 41;  // milliseconds between frames

// The one edit under way.
struct AnimEdit {
    ActionBlock* block = nullptr;
    Handle sprite = 0;
};
AnimEdit g_edit;

Handle Film() { return g_edit.sprite ? GetSpriteFilm(g_edit.sprite) : 0; }

// ---- the object on the card ----

// The edited object as a stored record, the edit going on with a copy loaded from it. False when
// it cannot be flattened, or (the edit then holds no object) loaded again.
bool StoredCopy(std::vector<uint8_t>* stored) {
    if (SaveAnimRecord(g_edit.sprite) != 0)
        return false;
    *stored = HandleToBytes(g_edit.sprite);
    DisposeHandle(g_edit.sprite);
    g_edit.sprite = 0;
    return LoadAnimRecord(stored->data(), static_cast<uint32_t>(stored->size()), &g_edit.sprite) == 0;
}

bool IsStopInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return true;
    default:
        return false;
    }
}

// Plays the object on the card until it ends or a key or a mouse button is pressed.
void TryAnimation() {
    HWND card = GetCardWindow();
    const uint32_t tool = GetCurrentTool();
    SelectToolNumber(kBrowseTool);
    RedrawWindow(card, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    DisposeAnimWorld();
    std::vector<uint8_t> stored;
    const bool copied = StoredCopy(&stored);
    if (copied && MakeAnimOffscreen() &&
        StartSprite(card, GetAnimOffscreen(), GetAnimLayerMask(), stored, g_edit.block->objectId) == 0) {
        bool stop = false;
        while (!stop && AnimWorldExists() && IsWindow(card)) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    stop = true;
                    break;
                }
                if (IsStopInput(msg.message)) {
                    stop = true;
                    break;
                }
                if (msg.hwnd == card && ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                                         (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)))
                    continue;  // the card's own clicks and keys wait until the try ends
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            StepAnimations();
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    } else if (!copied && !g_edit.sprite) {
        ShowAlert(kAlertNotEnoughMemory);
    }
    DisposeAnimWorld();
    SelectToolNumber(tool);
    InvalidateRect(card, nullptr, TRUE);
}

// Ends the edit: keeps the object in the block (its area from the start point and the start
// frame's size) or drops it. Answers whether the window was invalidated.
bool FinishAnimationEdit(bool keep) {
    HWND card = GetCardWindow();
    ShortRect frame{};
    PathPoint start;
    bool hasStart = false;
    if (keep && g_edit.sprite) {
        const Handle path = GetSpritePath(g_edit.sprite);
        hasStart = path && GetPathPoint(path, GetSpriteLong(g_edit.sprite, kSpriteStartPoint), &start);
        if (!hasStart) {
            const ShortRect b = GetSpriteBounds(g_edit.sprite);
            start.x = b.left;
            start.y = b.top;
        }
        if (Film())
            GetFilmFrameRect(Film(), GetSpriteLong(g_edit.sprite, kSpriteStartFrame), &frame);
    }
    DisposeAnimWorld();
    FreeAnimOffscreen();
    FreePathRecording();
    if (keep && g_edit.sprite && SaveAnimRecord(g_edit.sprite) == 0) {
        DisposeHandleAndClear(&g_edit.block->animationData);
        g_edit.block->animationData = g_edit.sprite;
        g_edit.block->animationRect = {start.x, start.y, start.x + (frame.right - frame.left),
                                       start.y + (frame.bottom - frame.top)};
    } else {
        if (keep)
            ShowAlert(kAlertNotEnoughMemory);
        DisposeSprite(g_edit.sprite);
    }
    g_edit = AnimEdit{};
    return card && InvalidateRect(card, nullptr, TRUE);
}

// Runs the dialog again after each command that leaves it; the button that ended it.
int RunAnimationDialog() {
    for (;;) {
        if (!g_edit.sprite) {
            FinishAnimationEdit(false);
            return IDCANCEL;
        }
        const INT_PTR result = ShowAnimationDialog(GetCardWindow(), g_edit.sprite);
        switch (result) {
        case IDOK:
            FinishAnimationEdit(true);
            return IDOK;
        case IDC_ANIM_GET_IMAGE:
            if (ShowAlert(IDA_ANIM_NEW_IMAGE) == 1) {
                Handle film = 0;
                if (GetAnimationSource(&film, nullptr) && film) {
                    SetSpriteFilm(g_edit.sprite, film);
                    SetSpriteLong(g_edit.sprite, kSpriteFirstFrame, 0);
                    SetSpriteLong(g_edit.sprite, kSpriteEndFrame, GetFilmFrameCount(film));
                }
            }
            break;
        case IDC_ANIM_TRY:
            TryAnimation();
            break;
        case IDC_ANIM_PATH_COMMANDS:
            if (ShowAlert(IDA_ANIM_NEW_PATH) == 1)
                RecordAnimPath(g_edit.sprite);
            break;
        case IDC_ANIM_EDIT_PATH:
            if (MakeAnimOffscreen())
                EditAnimPath(g_edit.sprite, GetAnimOffscreen()->bitmap);
            break;
        default:
            FinishAnimationEdit(false);
            return IDCANCEL;
        }
    }
}

// Shared start: no animation plays, the card as it shows is ready to draw over.
bool PrepareEdit(ActionBlock* block) {
    if (!block || g_edit.block)
        return false;
    ReleaseAnimPlayback();
    if (!MakeAnimOffscreen()) {
        ShowAlert(kAlertNotEnoughMemory);
        return false;
    }
    return true;
}

int StartNewAnimation(ActionBlock* block, Handle film, const POINT* grabbedCentre = nullptr) {
    Handle sprite = 0;
    if (NewSpriteHeader(&sprite) != 0) {
        DisposeFilm(film);
        FreeAnimOffscreen();
        ShowAlert(kAlertNotEnoughMemory);
        return 0;
    }
    SetSpriteFilm(sprite, film);
    const uint32_t frames = GetFilmFrameCount(film);
    SetSpriteWord(sprite, kSpriteTemplate, kTemplateFramesAndPath);
    SetSpriteWord(sprite, kSpriteFrameStep, kFrameStepForward);
    SetSpriteWord(sprite, kSpriteFrameTiming, kTimingTimer);
    SetSpriteLong(sprite, kSpriteFrameInterval, kNewSpriteInterval);
    SetSpriteLong(sprite, kSpriteFirstFrame, 0);
    SetSpriteLong(sprite, kSpriteEndFrame, frames);
    SetSpriteByte(sprite, kSpriteFloatGoing, 1);
    SetSpriteByte(sprite, kSpriteFloatReturning, 1);
    SetSpriteLong(sprite, kSpriteFrameIncrement, 1);
    PlaceNewSprite(sprite, GetCardWindow(), grabbedCentre);
    SetSpriteWord(sprite, kSpriteEndCondition, kEndsAfterPathRepeats);
    SetSpriteLong(sprite, kSpritePathRepeats, 1);
    g_edit.block = block;
    g_edit.sprite = sprite;
    RecordAnimPath(sprite);
    return RunAnimationDialog() == IDOK ? 1 | kAnimationKept : 1;
}

}  // namespace

int EditNewObjectAnimation(ActionBlock* block, Handle film) {
    const EditorGuard guard;
    if (!film || !PrepareEdit(block)) {
        DisposeFilm(film);
        return 0;
    }
    BigMascotMessageBox(GetCardWindow(), IDS_ANIM_INSTRUCTIONS, IDS_ANIM_INSTRUCTION_LINES, false, false, false);
    return StartNewAnimation(block, film);
}

int EditObjectAnimation(ActionBlock* block, uint32_t) {
    const EditorGuard guard;
    if (!PrepareEdit(block))
        return 0;
    if (!block->animationData) {
        BigMascotMessageBox(GetCardWindow(), IDS_ANIM_INSTRUCTIONS, IDS_ANIM_INSTRUCTION_LINES, false, false, false);
        Handle film = 0;
        if (!GetAnimationSource(&film, nullptr) || !film) {
            FreeAnimOffscreen();
            return 0;
        }
        // An area grabbed from the card starts where it was.
        POINT grabbed{};
        return StartNewAnimation(block, film, GetGrabbedFrameStart(&grabbed) ? &grabbed : nullptr);
    }
    const std::vector<uint8_t> stored = HandleToBytes(block->animationData);
    if (!IsSpriteRecord(stored)) {
        FreeAnimOffscreen();
        ShowAlert(IDA_ANIM_OLD_FRAME_ANIMATION);
        return 0;
    }
    Handle sprite = 0;
    if (LoadAnimRecord(stored.data(), static_cast<uint32_t>(stored.size()), &sprite) != 0) {
        FreeAnimOffscreen();
        ShowAlert(kAlertNotEnoughMemory);
        return 0;
    }
    g_edit.block = block;
    g_edit.sprite = sprite;
    return RunAnimationDialog() == IDOK ? 1 | kAnimationKept : 1;
}
