// Files dropped on the card window, turned by kind into the actions of the object under the
// drop (or of the card), text in a field, a picture, or a placed object.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "actions/ActionBlock.h"
#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/system/ChangeFlags.h"
#include "core/system/PreferenceFlags.h"
#include "core/ui/Alerts.h"
#include "core/ui/ToolNumbers.h"
#include "layers/LayerList.h"
#include "layers/ObjectLayer.h"
#include "host/state/MenuOptions.h"
#include "host/window/DroppedFiles.h"
#include "media/MediaDialogs.h"
#include "media/library/MediaLibServices.h"
#include "objects/graphics/GraphicPlacement.h"
#include "objects/text/TextFields.h"
#include "stack/cards/ActionResource.h"
#include "stack/cards/CardList.h"
#include "authoring/cards/CardPictureFiles.h"
#include "authoring/buttons/Buttons.h"
#include "authoring/text/NewTextObject.h"
#include "authoring/animation/AnimSource.h"
#include "authoring/animation/AnimationEdit.h"
#include "authoring/graphics/PictureCrop.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {

constexpr uint32_t kStackMenuLock = 24;
constexpr uint32_t kAnotherAnimationAlert = 2354;
constexpr uint16_t kDroppedSoundParameter = 128;
constexpr int16_t kToAnotherStack = -6;
constexpr uint16_t kLaunchProgramBit = 0x0001, kLaunchDocumentBit = 0x4000;

bool StackMenuLocked() {
    Handle header = GetStackHeaderHandle();
    return header && GetHandleWord(header, kStackMenuLock) != 0;
}

bool PlacingNewObject() {
    const GraphicPlacement& placement = GetGraphicPlacement();
    return IsPlacingTextField() || (IsPlacingButton() && IsPlacedButtonShown()) ||
           (placement.placing && placement.shown && placement.resizeHandle == 0);
}

// Whose actions a drop changes: a button's own record, a graphic's or text object's 'Actn'
// resource (its id in the object's record), or the card's click action.
// The object (or card) is named by its stack and card as well: the animation editor and its
// path recording run dialogs and loops under which the card may be left.
struct DropTarget {
    LayerHandle layer = 0;  // as hit; good only until the first dialog
    uint16_t kind = 0;      // 0: the card
    uint16_t id = 0;
    LayerName name = {};
};

DropTarget TargetAt(POINT point) {
    DropTarget target;
    if (LayerHandle layer = HitTestLayers(point.x, point.y, false, 0)) {
        LayerLock<ObjectLayer> lock(layer);
        if (lock) {
            target.layer = layer;
            target.kind = lock->kind;
            target.id = lock->id;
        }
    }
    target.name = NameOfObject(target.kind, target.id);
    return target;
}

// After the dialogs: the target's card still current and the object still on it; its layer
// is found again. Otherwise the drop is dropped with a word.
bool FindTargetAgain(DropTarget* target) {
    const bool here = target->kind ? FindNamedLayer(target->name) != nullptr : IsNamedCardCurrent(target->name);
    if (!here) {
        ShowAlert(kAlertEditDropped);
        return false;
    }
    target->layer = target->kind ? FindNamedLayer(target->name) : nullptr;
    return true;
}

// The offset of the 'Actn' id word: in the object's record, or in the card record.
bool ActionIdPlace(const DropTarget& target, Handle* record, uint32_t* offset) {
    if (target.kind == 0) {
        *record = GetCurrentCardRecord();
        *offset = kCardAction3;
        return *record != 0;
    }
    uint32_t objectOffset = 0;
    if (!FindObject(target.kind, target.id, record, &objectOffset))
        return false;
    *offset = objectOffset + (target.kind == kObjectGraphic ? kGraphicAction : kTextAction);
    return true;
}

bool LoadTargetActions(const DropTarget& target, ActionBlock* block) {
    if (target.kind == kObjectButton) {
        Handle card = 0;
        uint32_t offset = 0;
        return FindObject(kObjectButton, target.id, &card, &offset) && LoadActionBlock(card, offset, block);
    }
    Handle holder = 0;
    uint32_t idOffset = 0;
    if (!ActionIdPlace(target, &holder, &idOffset))
        return false;
    ScopedHandle record(LoadActionResource(GetHandleWord(holder, idOffset)));
    if (!record.get() || !LoadActionBlock(record.get(), 0, block))
        *block = ActionBlock{.soundParameter = kDroppedSoundParameter};
    return true;
}

bool SaveTargetActions(const DropTarget& target, const ActionBlock& block) {
    if (target.kind == kObjectButton) {
        Handle card = 0;
        uint32_t offset = 0;
        if (!FindObject(kObjectButton, target.id, &card, &offset) || !SaveActionBlock(card, offset, target.id, block))
            return false;
        MarkCardChanged();
        return true;
    }
    Handle holder = 0;
    uint32_t idOffset = 0;
    if (!ActionIdPlace(target, &holder, &idOffset))
        return false;
    uint16_t id = GetHandleWord(holder, idOffset);
    ScopedHandle record(LoadActionResource(id));
    if (!record.get() || !SaveActionBlock(record.get(), 0, target.id, block) || !StoreActionResource(&id, record.get()))
        return false;
    // The store may give a new id: record and layer follow it.
    SetHandleWord(holder, idOffset, id);
    // A click reads the id from the layer, not the record.
    if (target.kind == kObjectText && target.layer) {
        LayerLock<FieldLayer> lock(target.layer);
        if (lock)
            lock->actionId = id;
    } else if (target.kind == kObjectGraphic && target.layer) {
        LayerLock<GraphicLayer> lock(target.layer);
        if (lock)
            lock->objectWord = id;
    }
    MarkCardChanged();
    return true;
}

// Pictures go onto empty card only: Alt asks what to do; Ctrl floats the whole picture as a
// graphic object, Shift as lassoed clip art at the point; otherwise it is cropped first.
bool ImportPicture(HWND window, const char* path, const DropTarget& target, int keys, POINT point) {
    if (target.kind != 0)
        return false;
    if (keys & kDropAlt) {
        switch (RunDropOptionsDialog(window)) {
        case 200: return LoadPictureForPlacement(path, &point, 'C');
        case 201: return OpenPictureCropDialog(window, 'C', path, point, true) == 1;
        case 202: return ImportBackgroundPicture(window, path) != 0;
        case 203:
            ShowTextFieldWindows(false);
            OpenPictureCropDialog(window, 'G', path, point, true);
            return false;
        default: return false;
        }
    }
    if (keys & kDropCtrl)
        return LoadPictureForPlacement(path, &point, 'G');
    if (keys & kDropShift)
        return LoadPictureForPlacement(path, &point, 'C');
    return OpenPictureCropDialog(window, 'C', path, point, true) == 1;
}

bool ImportText(HWND window, const char* path, bool rich, const DropTarget& target, POINT point) {
    if (target.kind == kObjectText)
        return DropTextIntoField(target.layer, path, rich, point);
    if (target.kind != 0)
        return false;
    return BeginNewTextField(window, &point, path) == 1;
}

// Sound, program, stack, movie and animation: the target's actions changed and saved back.
bool ImportAction(const char* path, int kind, const DropTarget& target) {
    ActionBlock block{};
    if (!LoadTargetActions(target, &block))
        return false;
    bool done = true;
    switch (kind) {
    case kMediaSound:
        block.soundParameter = kDroppedSoundParameter;
        block.soundId = 0;
        block.soundIsFile = 1;
        block.soundFlags = 0;
        block.soundFile = EmptyFileSpec();
        SetFileSpecPath(&block.soundFile, path);
        SetFileSpecFromPath(kSlotMediaFolder2, path);  // remembered for the next sound chosen
        break;
    case kMediaProgram:
        block.destination = 0;
        block.launchOption = static_cast<uint16_t>((block.launchOption | kLaunchProgramBit) & ~kLaunchDocumentBit);
        SetFileSpecFromPath(kSlotLaunchDocument, "");
        SetFileSpecFromPath(kSlotLaunchProgram, path);
        break;
    case kMediaStack:
        block.destination = kToAnotherStack;
        block.transition = 1;
        block.transitionSpeed = 8;
        SetFileSpecFromPath(kSlotTargetStack, path);
        break;
    case kMediaMovie:
        block.movieFile = EmptyFileSpec();
        SetFileSpecPath(&block.movieFile, path);
        SetFileSpecFromPath(kSlotMediaFolder14, path);  // remembered for the next movie chosen
        done = MediaMeasureMovieFile(&block) != 0;
        if (done)
            UpdateMediaFileRef(block.movieFile);
        break;
    case kMediaAnimatedGif:
        if (block.animationData) {
            if (ShowAlert(kAnotherAnimationAlert) != 1) {
                done = false;
                break;
            }
            DisposeHandleAndClear(&block.animationData);
        }
        {
            // The editor starts on the GIF's own frames, not on a source it asks for.
            Handle film = 0;
            done = GetAnimationSource(&film, path) && film &&
                   (EditNewObjectAnimation(&block, film) & 0xFF) == 1 && block.animationData != 0;
        }
        break;
    default: done = false; break;
    }
    // The block is this drop's own: saved into the object's actions, its handles then freed.
    DropTarget again = target;
    if (done && FindTargetAgain(&again))
        done = SaveTargetActions(again, block);
    else
        done = false;
    DisposeActionBlockData(&block);
    return done;
}

bool TakeFirstFile(HDROP drop, LPARAM source, std::string* path, POINT* point, HWND window) {
    if (source == kDropFromMediaLib) {
        ScopedHandle item(GetMediaLibItemPath(-1));
        if (!item.get())
            return false;
        HandleLock lock(item.get());
        const auto* text = reinterpret_cast<const char*>(lock.get());
        path->assign(text, strnlen(text, GetHandleSize(item.get())));
        *point = GetMediaLibDropPoint(window, POINT{});
        return true;
    }
    if (!drop || DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) == 0)
        return false;
    char first[MAX_PATH + 1] = {};
    if (!DragQueryFileA(drop, 0, first, sizeof first))
        return false;
    *path = first;
    if (source == kDropFromTextField) {
        if (DropRecord* record = LockDropRecord()) {
            *point = POINT{record->x, record->y};
            UnlockDropRecord();
        }
    } else {
        DragQueryPoint(drop, point);
    }
    return true;
}

}  // namespace

bool ImportDroppedFile(HWND window, const char* path, int kind, int keys, POINT point) {
    if (kind == kMediaButton || kind == kMediaGraphic || kind == kMediaTextObject)
        return PlaceDroppedObjectFile(window, path, point);
    const DropTarget target = TargetAt(point);
    switch (kind) {
    case kMediaRichText: return ImportText(window, path, true, target, point);
    case kMediaText: return ImportText(window, path, false, target, point);
    case kMediaPicture: return ImportPicture(window, path, target, keys, point);
    case kMediaSound: case kMediaProgram: case kMediaStack: case kMediaMovie: case kMediaAnimatedGif:
        // The action names a file of this machine, which a web stack would otherwise ask of
        // its server when it plays.
        RememberFileChosenHere(path);
        return ImportAction(path, kind, target);
    default: return false;
    }
}

namespace {

// The shell's record of a drop (also the one a text field passed on); null for the library's.
HDROP ShellDropOf(WPARAM drop, LPARAM source) {
    if (source == kDropFromShell)
        return reinterpret_cast<HDROP>(drop);
    HDROP shellDrop = nullptr;
    if (source == kDropFromTextField) {
        if (DropRecord* record = LockDropRecord()) {
            shellDrop = static_cast<HDROP>(record->drop);
            UnlockDropRecord();
        }
    }
    return shellDrop;
}

}  // namespace

void EndDrop(WPARAM drop, LPARAM source) {
    if (HDROP shellDrop = ShellDropOf(drop, source))
        DragFinish(shellDrop);
    else if (source == kDropFromMediaLib)
        EndMediaLibDrop();
}

LRESULT OnDropFiles(HWND window, bool, bool, uint32_t, WPARAM drop, LPARAM source) {
    const HDROP shellDrop = ShellDropOf(drop, source);
    // The shell's record is finished whatever happens; the library's drop ends with the library.
    const auto finish = [&] { EndDrop(drop, source); };
    const bool known = source == kDropFromShell || source == kDropFromMediaLib || source == kDropFromTextField;
    const bool files = source == kDropFromMediaLib ? GetMediaLibSelectedCount() > 0
                                                   : shellDrop && DragQueryFileA(shellDrop, 0xFFFFFFFF, nullptr, 0) > 0;
    if (!known || !files || StackMenuLocked() || PlacingNewObject() || !IsAdvancedUser()) {
        finish();
        return -1;
    }
    const bool borrowTool = source == kDropFromShell && GetCurrentTool() == static_cast<uint32_t>(kBrowseTool);
    const ULONG_PTR classCursor = borrowTool ? GetClassLongPtrA(window, GCLP_HCURSOR) : 0;
    if (borrowTool)
        SetToolNumberQuietly(kArrowTool);
    const int keys = ((GetKeyState(VK_CONTROL) & 0x8000) ? kDropCtrl : 0) | ((GetKeyState(VK_MENU) & 0x8000) ? kDropAlt : 0) |
                     ((GetKeyState(VK_SHIFT) & 0x8000) ? kDropShift : 0);
    std::string path;
    POINT point{};
    if (TakeFirstFile(shellDrop, source, &path, &point, window)) {
        std::string target;
        const int kind = ClassifyDroppedPath(path.c_str(), &target);
        if (kind != kMediaNone)
            ImportDroppedFile(window, target.c_str(), kind, keys, point);
    }
    // An import that chose its own tool (a floating picture, a graphic being placed) keeps it.
    if (borrowTool && GetCurrentTool() == static_cast<uint32_t>(kArrowTool)) {
        SetToolNumberQuietly(kBrowseTool);
        SetClassLongPtrA(window, GCLP_HCURSOR, static_cast<LONG_PTR>(classCursor));
    }
    finish();
    return 0;
}
