// Field contents between the text object records and the field windows: a card's entry and its
// style runs into the window when the card is shown, the window's text and runs back into the
// record when it was modified.
#include "objects/text/FieldContents_win.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "core/files/FileLayer.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "core/text/MacText.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"
#include "core/ui/GdiGuards.h"
#include "layers/LayerList.h"
#include "graphics/pixels/CardOffscreen.h"
#include "objects/fonts/FontTable_win.h"
#include "objects/text/TextFields.h"
#include "stack/cards/CardList.h"
#include "stack/cards/FieldText.h"
#include "stack/clipboard/Clipboard.h"
#include "format/StackFile.h"
#include "stack/StackOpenSession.h"

namespace {


int Dpi() {
    WindowDC screen(nullptr);
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
}

// Sizes in pixels through twips, so that a size read back is the size stored.
LONG PixelsToTwips(int pixels) { return MulDiv(pixels, kTwipsPerInch, Dpi()); }
int TwipsToPixels(LONG twips) { return MulDiv(twips, Dpi(), kTwipsPerInch); }

// Characters as the runs count them: a paragraph end is one.
int32_t CharCount(HWND window) {
    GETTEXTLENGTHEX query = {GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
    const LRESULT count = SendMessageA(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    return count >= 0 ? static_cast<int32_t>(count) : TextGetLength(window);
}

COLORREF RunColor(const StyleRun& run) { return RGB(run.red >> 8, run.green >> 8, run.blue >> 8); }

CHARFORMAT2A RunFormat(const StyleRun& run) {
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_COLOR | CFM_SIZE | CFM_FACE;
    format.dwEffects = ((run.face & 1) ? CFE_BOLD : 0) | ((run.face & 2) ? CFE_ITALIC : 0) |
                       ((run.face & 4) ? CFE_UNDERLINE : 0);
    format.crTextColor = RunColor(run);
    const int pixels = ShownRunSize(run);
    format.yHeight = PixelsToTwips(pixels);
    lstrcpynA(format.szFaceName, FontFaceOfNumber(static_cast<uint16_t>(run.fontNumber), pixels).c_str(),
              LF_FACESIZE);
    return format;
}

bool SameFormat(const CHARFORMAT2A& a, const CHARFORMAT2A& b) {
    return a.dwMask == b.dwMask && a.dwEffects == b.dwEffects && a.yHeight == b.yHeight && a.yOffset == b.yOffset &&
           a.crTextColor == b.crTextColor && a.bCharSet == b.bCharSet && a.bPitchAndFamily == b.bPitchAndFamily &&
           std::strcmp(a.szFaceName, b.szFaceName) == 0;
}

CHARFORMAT2A CharFormatAt(HWND window, int32_t at) {
    TextSetSel(window, at, at + 1, false);
    CHARFORMAT2A format = {};
    format.cbSize = sizeof format;
    SendMessageA(window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    return format;
}

StyleRun RunFromFormat(const CHARFORMAT2A& format, int32_t start) {
    StyleRun run;
    run.start = start;
    const int pixels = TwipsToPixels(format.yHeight);
    LOGFONTA font = {};
    font.lfHeight = -pixels;
    font.lfWeight = (format.dwEffects & CFE_BOLD) ? FW_BOLD : FW_NORMAL;
    font.lfItalic = (format.dwEffects & CFE_ITALIC) ? 1 : 0;
    font.lfCharSet = format.bCharSet;
    font.lfPitchAndFamily = format.bPitchAndFamily;
    lstrcpynA(font.lfFaceName, format.szFaceName, LF_FACESIZE);
    OwnedGdiObject<HFONT> made(CreateFontIndirectA(&font));
    WindowDC dc(nullptr);
    TEXTMETRICA metrics = {};
    if (made && dc) {
        SelectedObject selected(dc.get(), made.get());
        GetTextMetricsA(dc.get(), &metrics);
    }
    run.lineHeight = static_cast<int16_t>(metrics.tmHeight ? metrics.tmHeight : pixels);
    run.ascent = static_cast<int16_t>(metrics.tmAscent);
    run.fontNumber = static_cast<int16_t>(
        FontNumberForFace(format.szFaceName, format.bCharSet, format.bPitchAndFamily, static_cast<int16_t>(pixels)));
    run.face = static_cast<uint8_t>(format.dwEffects & 0xFF);
    run.size = static_cast<int16_t>(pixels);
    run.red = static_cast<uint16_t>(GetRValue(format.crTextColor) << 8);
    run.green = static_cast<uint16_t>(GetGValue(format.crTextColor) << 8);
    run.blue = static_cast<uint16_t>(GetBValue(format.crTextColor) << 8);
    return run;
}

// Hides a visible window and its selection, disables it, and puts all back at the end.
class QuietField {
public:
    explicit QuietField(HWND window) : window_(window), visible_(IsWindowVisible(window) != 0) {
        TextGetSel(window, &start_, &end_);
        TextHideSelection(window, true);
        EnableWindow(window, FALSE);
        if (visible_)
            ShowWindow(window, SW_HIDE);
    }
    ~QuietField() {
        TextSetSel(window_, start_, end_, false);
        EnableWindow(window_, TRUE);
        TextHideSelection(window_, false);
        if (visible_)
            ShowWindow(window_, SW_SHOWNA);
    }
    QuietField(const QuietField&) = delete;
    QuietField& operator=(const QuietField&) = delete;

private:
    HWND window_;
    bool visible_;
    int32_t start_ = 0, end_ = 0;
};

uint16_t ClipboardSourceCard() { return Clip().sourceCardId; }

std::vector<uint8_t> ObjectBytes(Handle card, uint16_t id) {
    uint32_t offset = 0;
    if (!FindObjectInCard(kObjectText, id, card, &offset))
        return {};
    Handle copy = CopyObjectRecord(card, offset);
    std::vector<uint8_t> bytes = HandleToBytes(copy);
    DisposeHandle(copy);
    return bytes;
}

}  // namespace

bool StackTextIsMac() { return OpenStackTextIsMacRoman(); }

void ApplyStyleRuns(HWND window, std::span<const StyleRun> runs, int32_t textLength) {
    if (runs.empty())
        return;
    TextHideSelection(window, true);
    for (size_t i = 0; i < runs.size(); ++i) {
        const int32_t end = i + 1 < runs.size() ? runs[i + 1].start : textLength;
        TextSetSel(window, runs[i].start, end, false);
        CHARFORMAT2A format = RunFormat(runs[i]);
        SendMessageA(window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    }
    // What is typed later takes the last run's format.
    CHARFORMAT2A last = RunFormat(runs.back());
    SendMessageA(window, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&last));
    TextSetSel(window, 0, 0, false);
    TextHideSelection(window, false);
}

void LoadFieldTextFromRecord(HWND window, std::span<const uint8_t> record, uint16_t cardId) {
    const std::optional<FieldTextEntry> entry = FindFieldTextEntry(record, cardId, ClipboardSourceCard());
    if (!entry)
        return;
    const std::span<const uint8_t> stored = FieldEntryText(record, *entry);
    std::string text(stored.begin(), stored.end());
    if (StackTextIsMac())
        MacToAnsi(text.data(), text.size());
    // RichEdit takes the text up to a NUL; the run starts count stored bytes.
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const std::vector<StyleRun> runs = ReadStyleScrap(FieldEntryScrap(record, *entry), entry->textLength);
    ApplyStyleRuns(window, runs, static_cast<int32_t>(entry->textLength));
}

namespace {

// The stored text file where it is, else searched for and at last asked of the user; empty when
// it is not found.
std::string LocateTextFile(const std::string& stored) {
    static constexpr char kFilter[] = "Text (*.TXT)\0*.*\0";
    const FileRequest request = {kStringFindTextFile, kFilter, 0, 0, kNoSlot, 0};
    char path[kFileSpecPathSize] = {};
    if (!LocateRememberedPath(request, stored.c_str(), path, sizeof path, false))
        return {};
    return path;
}

}  // namespace

void FillFieldFromRecord(HWND window, std::span<const uint8_t> record) {
    if (GetU16(record, kObjectFlags) & kObjectHasPath)
        LoadDiskBasedFieldText(window, record, nullptr);
    else
        LoadFieldTextFromRecord(window, record, GetCurrentCardId());
}

void LoadDiskBasedFieldText(HWND window, std::span<const uint8_t> record, const char* path) {
    std::string file;
    if (path) {
        file = path;
    } else {
        const std::vector<FieldTextEntry> entries = ListFieldTextEntries(record);
        if (entries.empty())
            return;
        const std::span<const uint8_t> spec = FieldEntryText(record, entries[0]);
        // The path ends inside the file spec entry, at most 259 characters.
        const auto nul = std::find(spec.begin(), spec.end(), 0);
        if (nul == spec.end() || nul - spec.begin() > MAX_PATH - 1)
            return;
        file = LocateTextFile(std::string(spec.begin(), nul));
        if (file.empty())
            return;  // not found or the user cancelled: the field stays empty
    }
    HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return;
    const bool read = TextStreamInPlainFile(window, handle);
    CloseHandle(handle);
    if (!read)
        return;
    const StyleRun style = ReadDiskStyle(record);
    CHARFORMAT2A format = RunFormat(style);
    TextSetSel(window, 0, -1, false);
    SendMessageA(window, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    TextSetSel(window, 0, 0, false);
}

std::vector<uint8_t> CollectStyleScrap(HWND window, bool firstRunOnly) {
    const int32_t length = CharCount(window);
    std::vector<StyleRun> runs;
    QuietField quiet(window);
    CHARFORMAT2A current = CharFormatAt(window, 0);
    runs.push_back(RunFromFormat(current, 0));
    for (int32_t at = 1; !firstRunOnly && at < length; ++at) {
        const CHARFORMAT2A next = CharFormatAt(window, at);
        if (SameFormat(next, current))
            continue;
        current = next;
        runs.push_back(RunFromFormat(current, at));
    }
    return WriteStyleScrap(runs);
}

int SaveFieldTextAndStyles(uint16_t textId, HWND window, Handle card, uint16_t cardId) {
    const int32_t length = CharCount(window);
    std::string text = length > 0 ? TextGetRange(window, 0, length, length) : std::string();
    text.resize(std::min(text.size(), static_cast<size_t>(length)));
    if (StackTextIsMac())
        AnsiToMac(text.data(), text.size());
    const std::vector<uint8_t> scrap = CollectStyleScrap(window, false);
    if (scrap.size() < kOneRunScrapBytes)
        return -1;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (StoreFieldTextInRecord(textId, card, bytes, scrap, cardId, ClipboardSourceCard()) != 0) {
        ShowAlert(kAlertEditedTextLost);
        return -1;
    }
    return 0;
}

void SaveDiskFieldStyle(uint16_t textId, HWND window, Handle card) {
    uint32_t offset = 0;
    if (!FindObjectInCard(kObjectText, textId, card, &offset))
        return;
    std::vector<uint8_t> object = ObjectBytes(card, textId);
    const std::vector<uint8_t> scrap = CollectStyleScrap(window, true);
    const std::vector<StyleRun> runs = ReadStyleScrap(scrap, 0);
    if (runs.empty() || !WriteDiskStyle(object, runs[0]))
        return;
    HandleLock lock(card);
    if (!lock || offset + object.size() > lock.bytes().size())
        return;
    const auto at = lock.bytes().begin() + offset;
    if (std::equal(object.begin(), object.end(), at))
        return;
    std::copy(object.begin(), object.end(), at);
    MarkStackModified();
}

bool SaveFieldContents(Handle card) {
    if (!IsValidHandle(card) || GetHandleSize(card) < kMinCardRecordBytes)
        return false;
    const uint16_t cardId = GetCardId(card);
    Handle background = GetCardKind(card) == kCardKindShared ? FindCardById(GetHandleWord(card, kCardBackgroundId)) : 0;
    if (background == card)
        background = 0;
    for (Handle record : {card, background}) {
        if (!record)
            continue;
        std::vector<uint16_t> ids;
        {
            const std::vector<uint8_t> bytes = HandleToBytes(record);
            CardObjectWalk walk(bytes);
            ObjectPlace place;
            while (walk.Next(place))
                if (place.kind == kObjectText && (record == card || (place.flags & kObjectBackground)))
                    ids.push_back(place.id);
        }
        for (uint16_t id : ids) {
            const LayerHandle layer = FindLayer(kObjectText, id);
            if (!layer)
                continue;
            HWND window = nullptr;
            int16_t alignment = 0;
            bool modified = false;
            uint16_t flags = 0;
            {
                LayerLock<FieldLayer> field(layer);
                if (!field)
                    continue;
                window = field->window;
                alignment = field->alignment;
                modified = field->modified != 0;
                flags = field->objectFlags;
            }
            uint32_t offset = 0;
            if (!FindObjectInCard(kObjectText, id, record, &offset))
                continue;
            if (GetHandleWord(record, offset + kTextAlignment) != static_cast<uint16_t>(alignment)) {
                SetHandleWord(record, offset + kTextAlignment, static_cast<uint16_t>(alignment));
                MarkStackModified();
            }
            if (!window)
                continue;
            if (flags & kObjectHasPath) {
                SaveDiskFieldStyle(id, window, record);
            } else if (modified) {
                SaveFieldTextAndStyles(id, window, record, cardId);
                LayerLock<FieldLayer> field(layer);
                if (field)
                    field->modified = 0;
            }
        }
    }
    return background != 0;
}

void SaveCurrentFieldContents() { SaveFieldContents(GetCurrentCardRecord()); }

int NewTextObjectRecord(LayerHandle layer, std::string_view name, const char* diskFile) {
    NewTextObject fields;
    HWND window = nullptr;
    {
        LayerLock<FieldLayer> field(layer);
        if (!field || field->common.kind != kObjectText)
            return -1;
        const RECT& r = field->common.bounds;
        fields = {.id = field->common.id,
                  .left = static_cast<int16_t>(r.left),
                  .top = static_cast<int16_t>(r.top),
                  .right = static_cast<int16_t>(r.right),
                  .bottom = static_cast<int16_t>(r.bottom),
                  .options = field->options,
                  .flags = field->objectFlags,
                  .colorPlusOne = static_cast<uint16_t>(field->colorIndex + 1),
                  .alignment = field->alignment,
                  .actionId = field->actionId,
                  .cursorId = field->cursorId};
        window = field->window;
    }
    const std::vector<uint8_t> scrap = window ? CollectStyleScrap(window, true) : std::vector<uint8_t>();
    std::vector<uint8_t> spec;
    if (fields.flags & kObjectHasPath) {
        Handle packed = 0;
        if (!PackFilePath(diskFile ? diskFile : "", &packed))
            return -1;
        spec = HandleToBytes(packed);
        DisposeHandle(packed);
    }
    Handle card = GetCurrentCardRecord();
    if (!IsValidHandle(card) || GetHandleSize(card) < kMinCardRecordBytes)
        return -1;
    const uint16_t cardId = GetCardId(card);
    Handle target = card;
    // A background object of a card with a background record of its own goes there.
    if ((fields.flags & kObjectBackground) && GetCardKind(card) == kCardKindShared)
        if (Handle background = FindCardById(GetHandleWord(card, kCardBackgroundId)))
            target = background;
    const std::vector<uint8_t> object = BuildTextObjectRecord(fields, name, scrap, cardId, spec);
    return InsertObjectBytes(target, CardObjectsEnd(target), object) == 0 ? 0 : -1;
}
