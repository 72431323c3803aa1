// Transition 29 on Windows: the captured old card, the two 32-bit source worlds, the effect's
// frames into the window, the parameter dialog, "QTDATA" descriptions and list controls.
#include <windows.h>

#include <span>
#include <utility>
#include <vector>

#include "core/system/PluginModule.h"
#include "core/ui/GdiGuards.h"
#include "core/ui/WaitCursor.h"
#include "core/ui/dialogs/DialogOwner.h"
#include "graphics/pixels/DibGdi.h"
#include "cardview/transitions/CardTransitions.h"
#include "cardview/transitions/QtEffect.h"
#include "cardview/transitions/TransitionContext.h"

Handle ModuleQtData(const std::string& name) {
    HMODULE module = GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, name.c_str(), "QTDATA");
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    const DWORD size = SizeofResource(module, found);
    return bytes && size ? NewHandleFromBytes({bytes, size}) : 0;
}

std::vector<uint8_t> FetchQtEffectList() {
    WaitCursor wait;
    std::vector<uint8_t> list;
    if (QTGetEffectsList(&list) != kQtNoErr)
        list.clear();
    return list;
}

namespace {

// A 32-bit top-down DIB section: a graphics world of the effect.
class World {
public:
    World(HDC dc, int width, int height) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bitmap_ && bits)
            world_ = {static_cast<uint8_t*>(bits), width, height, width * 4, kQtPixelFormatBGRA};
    }
    ~World() {
        if (bitmap_)
            DeleteObject(bitmap_);
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    explicit operator bool() const { return world_.pixels != nullptr; }
    HBITMAP bitmap() const { return bitmap_; }
    const QtPixelWorld& world() const { return world_; }

private:
    HBITMAP bitmap_ = nullptr;
    QtPixelWorld world_{};
};

void DrawPackedDib(HDC dc, const OldCardPicture& picture) {
    const std::span<const uint8_t> dib = picture.PackedDib();
    DibLayout layout;
    if (!ReadDibLayout(dib, layout))
        return;
    const auto* info = reinterpret_cast<const BITMAPINFO*>(dib.data());
    SetDIBitsToDevice(dc, 0, 0, layout.width, layout.height, 0, 0, 0, layout.height, dib.data() + layout.bitsOffset,
                      info, DIB_RGB_COLORS);
}

// QTPrepareEffectSources and QTRunEffect: 0 when the effect ran.
QtErr PrepareAndRun(QtEffectRecord* record, HWND window, const World& a, const World& b) {
    if (!record || !window || !a || !b)
        return kQtParamErr;
    const int32_t timeScale = ClampQtEffectTiming(record->timeScale);
    const int32_t duration = ClampQtEffectTiming(record->duration);
    const int32_t frameCount = ClampQtEffectTiming(record->frameCount);
    const QtImageDescription image = NewQTImageDescription(record->code, a.world().width, a.world().height);
    const std::vector<uint8_t> description = QtEffectDescriptionBytes(record);
    if (description.empty())
        return kQtNilHandleErr;
    const QtEffectSources sources = {description.data(), static_cast<uint32_t>(description.size()), &image, &a.world(),
                                     &b.world(), reinterpret_cast<QtWord>(window)};
    QtEffectSequence sequence = 0;
    const QtErr prepared = QTEffectSequenceBegin(sources, &sequence);
    if (prepared != kQtNoErr)
        return prepared;
    for (int frame = 1; frame <= frameCount; ++frame)
        if (QTEffectDecompressFrame(sequence, QtEffectFrameTime(frame, timeScale, duration, record->rate)) != kQtNoErr)
            break;
    QTEffectSequenceEnd(sequence);
    return kQtNoErr;
}

}  // namespace

OldCardPicture OldCardOfWindow(HWND window) {
    RECT client = {};
    OwnedGdiObject<HBITMAP> bitmap(CopyWindowClient(window, &client));
    HGLOBAL packed = bitmap ? BitmapToPackedDib(bitmap.get()) : nullptr;
    if (!packed)
        return {};
    std::vector<uint8_t> bytes;
    if (const auto* at = static_cast<const uint8_t*>(GlobalLock(packed))) {
        bytes.assign(at, at + GlobalSize(packed));
        GlobalUnlock(packed);
    }
    GlobalFree(packed);
    return OldCardPicture(std::move(bytes));
}

bool QTRunTransitionEffect(const TransitionContext& transition, HBITMAP newCard) {
    QtEffectRecord* record = QTCurrentEffectRecord();
    BITMAP info = {};
    if (!record || !newCard || !GetObjectA(newCard, sizeof info, &info))
        return false;
    HWND window = transition.window ? transition.window : GetMainWindow();
    WindowDC dc(window);
    if (!dc)
        return false;
    const int w = info.bmWidth, h = info.bmHeight;
    World a(dc.get(), w, h), b(dc.get(), w, h);
    MemoryDC memory(dc.get()), source(dc.get());
    // During a transition the new card is selected in the transition's memory DC already.
    const bool selectedThere = transition.sourceDC && transition.source == newCard;
    SelectedObject card(selectedThere ? nullptr : source.get(), newCard);
    HDC cardDC = selectedThere ? transition.sourceDC : source.get();
    if (a) {
        SelectedObject selected(memory.get(), a.bitmap());
        DrawPackedDib(memory.get(), transition.move.oldCard);  // without one, A stays empty
    }
    if (b) {
        SelectedObject selected(memory.get(), b.bitmap());
        BitBlt(memory.get(), 0, 0, w, h, cardDC, 0, 0, SRCCOPY);
    }
    if (PrepareAndRun(record, window, a, b) != kQtNoErr)
        return false;
    // The effect's last frame need not be the whole new card (fewer frames than the duration).
    const RECT r = transition.window ? transition.rect : RECT{0, 0, w, h};
    BitBlt(dc.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, cardDC, r.left, r.top, SRCCOPY);
    return true;
}

bool QTEditEffectParams(HWND owner) {
    QtEffectRecord* current = QTCurrentEffectRecord();
    if (!current)
        return false;
    const std::vector<uint8_t> description = QtEffectDescriptionBytes(current);
    std::vector<uint8_t> edited;
    if (description.empty() ||
        QTEffectParameterDialog(description, reinterpret_cast<QtWord>(DialogOwner(owner)), &edited) != kQtNoErr)
        return false;
    const Handle replaced = NewHandleFromBytes(edited);
    if (!replaced)
        return false;
    DisposeQtEffectRecord(current);
    current->description = replaced;
    return true;
}

void QTFillEffectList(int first, HWND list) {
    char className[32] = {};
    GetClassNameA(list, className, sizeof className);
    const bool combo = lstrcmpiA(className, "ComboBox") == 0;
    const std::vector<QtEffectListEntry>& effects = QTListedEffects();
    for (size_t i = 0; i < effects.size(); ++i) {
        const LPARAM text = reinterpret_cast<LPARAM>(effects[i].name.c_str());
        const LRESULT at = SendMessageA(list, combo ? CB_ADDSTRING : LB_ADDSTRING, 0, text);
        if (at >= 0)
            SendMessageA(list, combo ? CB_SETITEMDATA : LB_SETITEMDATA, static_cast<WPARAM>(at), first + static_cast<LPARAM>(i));
    }
}
