// Effect records and their resource bytes.
#include "cardview/transitions/QtEffectRecord.h"

#include <algorithm>
#include <cstring>

#include "core/memory/ByteReader.h"

bool IsListedQTEffectCode(uint32_t code) {
    return std::find(kListedQtEffectCodes.begin(), kListedQtEffectCodes.end(), code) != kListedQtEffectCodes.end();
}

QtEffectRecord DefaultQtEffectRecord() { return QtEffectRecord{}; }

std::string QtEffectName(const QtEffectRecord& record) {
    const auto end = std::find(record.name.begin(), record.name.end(), '\0');
    return std::string(record.name.begin(), end);
}

void SetQtEffectRecordName(QtEffectRecord* record, std::string_view name) {
    record->name.fill(0);
    const size_t n = std::min(name.size(), size_t{kQtfxNameBytes - 1});
    std::memcpy(record->name.data(), name.data(), n);
}

const char* QtfxRefusalText(QtfxRefusal refusal) {
    switch (refusal) {
    case QtfxRefusal::None: return "accepted";
    case QtfxRefusal::Short: return "fewer than 112 bytes";
    case QtfxRefusal::DescriptionTooLong: return "description length past the end of the resource";
    }
    return "?";
}

QtfxRefusal UnpackQtEffectFields(std::span<const uint8_t> bytes, QtEffectRecord* record,
                                 std::span<const uint8_t>* description) {
    *description = {};
    if (bytes.size() < kQtfxFieldBytes)
        return QtfxRefusal::Short;
    ByteReader r(bytes);
    QtEffectRecord out;
    out.code = r.U32BE();
    out.id = r.I16BE();
    const std::span<const uint8_t> name = r.Bytes(kQtfxNameBytes);
    std::copy(name.begin(), name.end(), out.name.begin());
    out.name.back() = 0;
    out.timeScale = static_cast<int32_t>(r.U32BE());
    out.duration = static_cast<int32_t>(r.U32BE());
    out.frameCount = static_cast<int32_t>(r.U32BE());
    out.rate = static_cast<int32_t>(r.U32BE()) >> 16;
    out.flag1 = static_cast<int32_t>(r.U32BE());
    out.flag2 = static_cast<int32_t>(r.U32BE());
    const std::span<const uint8_t> working = r.Bytes(8);
    std::copy(working.begin(), working.end(), out.working.begin());
    out.durationCopy = static_cast<int32_t>(r.U32BE());
    const std::span<const uint8_t> further = r.Bytes(32);
    std::copy(further.begin(), further.end(), out.further.begin());
    out.descriptionLength = r.U32BE();
    if (!r.ok())
        return QtfxRefusal::Short;
    if (out.descriptionLength > bytes.size() - kQtfxFieldBytes)
        return QtfxRefusal::DescriptionTooLong;
    out.trailing = bytes.size() >= kQtfxFieldBytes + 2 ? GetBE16(bytes, kQtfxFieldBytes) : 0;
    *description = bytes.subspan(kQtfxFieldBytes, out.descriptionLength);
    *record = out;
    return QtfxRefusal::None;
}

std::vector<uint8_t> PackQtEffectFields(const QtEffectRecord& record, std::span<const uint8_t> description) {
    std::vector<uint8_t> out;
    ByteWriter w(out);
    w.U32BE(record.code);
    w.U16BE(static_cast<uint16_t>(record.id));
    std::array<char, kQtfxNameBytes> name = record.name;
    name.back() = 0;
    w.Bytes({reinterpret_cast<const uint8_t*>(name.data()), name.size()});
    w.U32BE(static_cast<uint32_t>(record.timeScale));
    w.U32BE(static_cast<uint32_t>(record.duration));
    w.U32BE(static_cast<uint32_t>(record.frameCount));
    w.U32BE(static_cast<uint32_t>(record.rate) << 16);
    w.U32BE(static_cast<uint32_t>(record.flag1));
    w.U32BE(static_cast<uint32_t>(record.flag2));
    w.Bytes(record.working);
    w.U32BE(static_cast<uint32_t>(record.durationCopy));
    w.Bytes(record.further);
    w.U32BE(static_cast<uint32_t>(description.size()));
    w.Bytes(description);
    w.Zeros(description.size() % 2 ? 3 : 2);
    return out;
}

void SetQtEffectTiming(QtEffectRecord* record, int32_t timeScale, int32_t duration, int32_t frameCount, int32_t rate) {
    record->timeScale = timeScale;
    record->duration = duration;
    record->frameCount = frameCount;
    record->rate = rate;
    record->durationCopy = duration;
    record->working.fill(0);
}

int32_t ClampQtEffectTiming(int32_t value) { return std::clamp(value, kQtEffectTimingMin, kQtEffectTimingMax); }

std::string QtEffectCodeText(uint32_t code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>(code >> (24 - 8 * i));
    return text;
}

std::string QtEffectDescriptionName(uint32_t code, std::string_view name) {
    std::string out;
    for (char c : QtEffectCodeText(code) + std::string(name))
        if (c != ' ' && c != '\0')
            out += c;
    if (out.size() > 31)
        out.resize(31);
    return out;
}
