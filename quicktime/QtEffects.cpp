// The video-effect calls through the dispatcher.
#include "quicktime/QtEffects.h"

namespace {

QtWord Word(const void* p) { return reinterpret_cast<QtWord>(p); }

// A call that fills a buffer: asked with none for the size first, then filled.
template <class Call>
QtErr FillBuffer(std::vector<uint8_t>* out, Call call) {
    out->clear();
    uint32_t size = 0;
    QtErr err = call(nullptr, 0, &size);
    if (err != kQtNoErr && err != kQtBufferTooSmall)
        return err;
    if (size > 16u << 20)
        return kQtMemFullErr;
    out->resize(size);
    err = call(out->data(), size, &size);
    if (err != kQtNoErr || size > out->size()) {
        out->clear();
        return err != kQtNoErr ? err : kQtParamErr;
    }
    out->resize(size);
    return kQtNoErr;
}

}  // namespace

QtErr QTGetEffectsList(std::vector<uint8_t>* list) {
    return FillBuffer(list, [](uint8_t* buffer, uint32_t capacity, uint32_t* size) {
        return static_cast<QtErr>(QtCall(kQtSelGetEffectsList, {Word(buffer), capacity, Word(size)}));
    });
}

QtErr QTEffectSequenceBegin(const QtEffectSources& sources, QtEffectSequence* sequence) {
    *sequence = 0;
    return static_cast<QtErr>(QtCall(kQtSelEffectSequenceBegin, {Word(&sources), Word(sequence)}));
}

QtErr QTEffectDecompressFrame(QtEffectSequence sequence, const QtFrameTime& time) {
    return static_cast<QtErr>(QtCall(kQtSelEffectDecompressFrame, {sequence, Word(&time)}));
}

QtErr QTEffectSequenceEnd(QtEffectSequence sequence) {
    return static_cast<QtErr>(QtCall(kQtSelEffectSequenceEnd, {sequence}));
}

QtErr QTEffectParameterDialog(std::span<const uint8_t> description, QtWord owner, std::vector<uint8_t>* edited) {
    // The edited description is no larger than the original plus a few parameter atoms.
    edited->assign(description.size() + 256, 0);
    uint32_t size = 0;
    const QtErr err = static_cast<QtErr>(QtCall(
        kQtSelEffectParameterDialog, {Word(description.data()), static_cast<QtWord>(description.size()), owner,
                                      Word(edited->data()), static_cast<QtWord>(edited->size()), Word(&size)}));
    if (err != kQtNoErr || size > edited->size()) {
        edited->clear();
        return err != kQtNoErr ? err : kQtParamErr;
    }
    edited->resize(size);
    return kQtNoErr;
}
