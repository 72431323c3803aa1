// 'QTFX' resources.
#include "cardview/transitions/QtEffectResource.h"

#include "core/memory/ByteReader.h"
#include "core/system/ChangeFlags.h"
#include "cardview/transitions/QtEffectState.h"
#include "format/ResFile.h"

void LoadQTEffectRecord(QtEffectRecord* record, int16_t id) {
    DisposeQtEffectRecord(record);
    *record = DefaultQtEffectRecord();
    if (id > 0) {
        if (const Handle data = GetResource(kQtfx, static_cast<uint16_t>(id))) {
            const std::vector<uint8_t> bytes = HandleToBytes(data);
            QtEffectRecord read;
            std::span<const uint8_t> description;
            if (UnpackQtEffectFields(bytes, &read, &description) == QtfxRefusal::None) {
                read.id = id;
                if (!description.empty())
                    read.description = NewHandleFromBytes(description);
                if (!read.description)
                    read.description = GetQTEffectDescription(read.code, QtEffectName(read));
                *record = read;
                return;
            }
        }
    }
    record->description = GetQTEffectDescription(record->code, "");
}

Handle PackQTEffectRecord(QtEffectRecord* record) {
    const std::vector<uint8_t> description = QtEffectDescriptionBytes(record);
    return NewHandleFromBytes(PackQtEffectFields(*record, description));
}

int16_t WriteQTEffectRecord(QtEffectRecord* record, int16_t id) {
    if (id > 0)
        record->id = id;
    if (record->id < 1)
        record->id = 0;  // the resource manager gives a new id
    const Handle data = PackQTEffectRecord(record);
    if (!data)
        return 0;
    ResRequest request{kQtfx, static_cast<uint16_t>(record->id), 0, data, kResRequestCarryOut, {}, 0, 0};
    if (!WriteStackResource(&request))
        return 0;
    // A new id (none asked for, or the old one holding other data) goes into the stored bytes.
    if (request.id != static_cast<uint16_t>(record->id) && request.data) {
        HandleLock lock(request.data);
        if (lock && GetHandleSize(request.data) >= kQtfxId + 2)
            SetBE16(lock.bytes(), kQtfxId, request.id);
    }
    record->id = static_cast<int16_t>(request.id);
    MarkCardChanged();
    return record->id;
}
