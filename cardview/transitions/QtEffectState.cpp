// The effect state: the current effect record, the listed effects and the effect timing.
#include <algorithm>
#include <cstring>
#include <optional>

#include "core/text/MacText.h"
#include "cardview/transitions/QtEffectState.h"
#include "quicktime/QtAtoms.h"

namespace {

void LoadDefault(QtEffectRecord* record, int16_t) {
    *record = DefaultQtEffectRecord();
    record->description = GetQTEffectDescription(record->code, "");
}
int16_t WriteNothing(QtEffectRecord*, int16_t) { return 0; }
Handle NoData(const std::string&) { return 0; }
std::vector<uint8_t> NoList() { return {}; }

QtEffectStorage g_storage = {LoadDefault, WriteNothing};
QtDataSource g_dataSource = NoData;
QtEffectListFetcher g_listFetcher = NoList;

struct EffectState {
    std::optional<QtEffectRecord> current;
    std::vector<QtEffectListEntry> list;
    bool listFetched = false;
};
std::optional<EffectState> g_state;

QtEffectRecord& Current() {
    if (!g_state->current) {
        QtEffectRecord record;
        g_storage.load(&record, 0);
        g_state->current = record;
    }
    return *g_state->current;
}

}  // namespace

std::vector<QtEffectListEntry> ParseQtEffectList(std::span<const uint8_t> list) {
    const std::vector<QtAtom> atoms = ReadQtAtoms(list);
    std::vector<QtEffectListEntry> out;
    const int count = CountQtAtoms(atoms, QtAtomType("name"));
    for (int i = 1; i <= count; ++i) {
        const QtAtom* name = FindQtAtom(atoms, QtAtomType("name"), i);
        const QtAtom* type = FindQtAtom(atoms, QtAtomType("type"), i);
        if (!name || !type || type->data.size() < 4)
            continue;
        const uint32_t code = QtAtomReadBE32(type->data, 0);
        if (!IsListedQTEffectCode(code))
            continue;
        const size_t n = std::min<size_t>(name->data.size(), 254);
        std::string text(reinterpret_cast<const char*>(name->data.data()), n);
        text.resize(std::strlen(text.c_str()));
        out.push_back({text, code});
    }
    return out;
}

void DisposeQtEffectRecord(QtEffectRecord* record) {
    if (record->description)
        DisposeHandleAndClear(&record->description);
}

void QTEffectStateInit() {
    if (!g_state)
        g_state.emplace();
}

void QTEffectStateDispose() {
    if (!g_state)
        return;
    if (g_state->current)
        DisposeQtEffectRecord(&*g_state->current);
    g_state.reset();
}

bool QTEffectStateExists() { return g_state.has_value(); }

void QTReleaseCurrentEffectRecord() {
    if (!g_state || !g_state->current)
        return;
    DisposeQtEffectRecord(&*g_state->current);
    g_state->current.reset();
}

void SetQtEffectStorage(const QtEffectStorage& storage) {
    g_storage.load = storage.load ? storage.load : LoadDefault;
    g_storage.write = storage.write ? storage.write : WriteNothing;
}

void SetQtDataSource(QtDataSource source) { g_dataSource = source ? source : NoData; }
void SetQtEffectListFetcher(QtEffectListFetcher fetcher) { g_listFetcher = fetcher ? fetcher : NoList; }

Handle GetQTEffectDescription(uint32_t code, std::string_view name) {
    if (Handle h = g_dataSource(QtEffectDescriptionName(code, name)))
        return h;
    return g_dataSource(QtEffectDescriptionName(code, ""));
}

bool QTSelectEffect(int16_t id) {
    if (!g_state)
        return false;
    if (g_state->current && g_state->current->id == id && id > 0)
        return true;
    QtEffectRecord record;
    g_storage.load(&record, id);
    if (g_state->current)
        DisposeQtEffectRecord(&*g_state->current);
    g_state->current = record;
    return record.id == id;
}

int16_t QTGetCurrentEffectId() { return g_state && g_state->current ? g_state->current->id : 0; }

QtEffectRecord* QTCurrentEffectRecord() { return g_state ? &Current() : nullptr; }

int16_t QTSaveEffectRecord(int16_t id, bool save) {
    if (!g_state || !save)
        return 0;
    return g_storage.write(&Current(), id);
}

void SetQTEffectNameAndCode(QtEffectRecord* record, std::string_view name, uint32_t code) {
    if (record->code == code && QtEffectName(*record) == name)
        return;
    record->code = code;
    SetQtEffectRecordName(record, name);
    DisposeQtEffectRecord(record);
    record->description = GetQTEffectDescription(code, QtEffectName(*record));
}

void QTSetEffectParams(int32_t timeScale, int32_t duration, int32_t frameCount, int32_t rate) {
    if (g_state)
        SetQtEffectTiming(&Current(), timeScale, duration, frameCount, rate);
}

const std::vector<QtEffectListEntry>& QTListedEffects() {
    static const std::vector<QtEffectListEntry> kNone;
    if (!g_state)
        return kNone;
    if (!g_state->listFetched) {
        g_state->list = ParseQtEffectList(g_listFetcher());
        g_state->listFetched = true;
    }
    return g_state->list;
}

void QTSetEffectFromTransition(int listIndex) {
    const std::vector<QtEffectListEntry>& list = QTListedEffects();
    const int entry = listIndex - 27;
    if (!g_state || entry < 0 || entry >= static_cast<int>(list.size()))
        return;
    SetQTEffectNameAndCode(&Current(), list[entry].name, list[entry].code);
}

int QTFindEffectByName(std::string_view name) {
    // Scripts and modules name effects as people type them: case does not count.
    const std::vector<QtEffectListEntry>& list = QTListedEffects();
    for (size_t i = 0; i < list.size(); ++i)
        if (EqualAsciiNoCase(list[i].name, name))
            return 28 + static_cast<int>(i);
    return -1;
}

int QTGetEffectName(int number, char* buffer, size_t size) {
    const std::vector<QtEffectListEntry>& list = QTListedEffects();
    const int entry = number - 28;
    if (!buffer || size == 0 || entry < 0 || entry >= static_cast<int>(list.size()))
        return 0;
    const size_t n = std::min(list[entry].name.size(), size - 1);
    std::memcpy(buffer, list[entry].name.data(), n);
    buffer[n] = 0;
    return 1;
}

int QTEffectChoiceCount() { return g_state ? 10 : 0; }

std::vector<uint8_t> QtEffectDescriptionBytes(QtEffectRecord* record) {
    if (!record->description)
        record->description = GetQTEffectDescription(record->code, QtEffectName(*record));
    return HandleToBytes(record->description);
}

QtImageDescription NewQTImageDescription(uint32_t code, int width, int height) {
    QtImageDescription d{};
    d.idSize = sizeof(QtImageDescription);
    d.cType = code;
    d.vendor = QtAtomType("appl");
    d.temporalQuality = 512;
    d.spatialQuality = 512;
    d.width = static_cast<int16_t>(width);
    d.height = static_cast<int16_t>(height);
    d.hRes = 0x480000;  // 72 dpi
    d.vRes = 0x480000;
    d.frameCount = 1;
    d.depth = 32;
    d.clutId = -1;  // 65535: no colour table
    return d;
}

QtFrameTime QtEffectFrameTime(int frame, int32_t timeScale, int32_t duration, int32_t rate) {
    QtFrameTime t{};
    t.valueLow = static_cast<uint32_t>(frame);
    t.scale = timeScale;
    t.duration = duration;
    t.rate = rate;
    t.recordSize = sizeof(QtFrameTime);
    t.frameNumber = 1;
    t.flags = kQtFrameTimeVirtual;
    t.virtualDuration = duration;
    return t;
}
