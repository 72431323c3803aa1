// The stand-in's effects.
#include "quicktime/dll/QtStandInEffects.h"

#include "quicktime/dll/QtStandIn.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

namespace {

constexpr std::array<StandInEffect, 11> kEffects = {{
    {QtAtomType("dslv"), "Cross Fade"},
    {QtAtomType("xplo"), "Explode"},
    {QtAtomType("matt"), "Matte"},
    {QtAtomType("mplo"), "Implode"},
    {QtAtomType("smpt"), "Wipe"},
    {QtAtomType("smp2"), "Iris"},
    {QtAtomType("smp3"), "Radial"},
    {QtAtomType("smp4"), "Matrix"},
    {QtAtomType("push"), "Push"},
    {QtAtomType("slid"), "Slide"},
    {QtAtomType("blur"), "Blur"},  // installed, but not one the plug-in offers
}};

struct Sequence {
    uint32_t code = 0;
    uint32_t side = 0;
    QtPixelWorld a{};
    QtPixelWorld b{};
    QtWord port = 0;
};

std::map<QtEffectSequence, Sequence> g_sequences;
QtEffectSequence g_nextSequence = 1;
std::vector<uint8_t> g_lastFrame;
StandInFramePresenter g_presenter = nullptr;
StandInParameterDialog g_dialog = nullptr;

bool ValidWorld(const QtPixelWorld* w) {
    return w && w->pixels && w->width > 0 && w->height > 0 && w->rowBytes >= 4 * w->width &&
           w->pixelFormat == kQtPixelFormatBGRA;
}

// Whether pixel (x, y) shows B at this fraction of a wipe from the side.
bool WipeShowsB(uint32_t side, double fraction, int x, int y, int w, int h) {
    switch (side) {
    case 1: return x >= w - static_cast<int>(fraction * w);
    case 2: return y < static_cast<int>(fraction * h);
    case 3: return y >= h - static_cast<int>(fraction * h);
    default: return x < static_cast<int>(fraction * w);
    }
}

int32_t CopyOut(const std::vector<uint8_t>& bytes, uint8_t* buffer, uint32_t capacity, uint32_t* size) {
    if (size)
        *size = static_cast<uint32_t>(bytes.size());
    if (!buffer)
        return kQtBufferTooSmall;
    if (capacity < bytes.size())
        return kQtBufferTooSmall;
    std::memcpy(buffer, bytes.data(), bytes.size());
    return kQtNoErr;
}

}  // namespace

std::span<const StandInEffect> StandInEffects() { return kEffects; }

std::vector<uint8_t> StandInEffectList() {
    std::vector<uint8_t> list;
    uint32_t id = 1;
    for (const StandInEffect& e : kEffects) {
        AppendQtAtom(&list, QtAtomType("name"), id,
                     {reinterpret_cast<const uint8_t*>(e.name), std::strlen(e.name)});
        AppendQtAtomU32(&list, QtAtomType("type"), id, e.code);
        ++id;
    }
    return list;
}

bool ComposeEffectFrame(uint32_t code, uint32_t side, double fraction, const QtPixelWorld& a, const QtPixelWorld& b,
                        std::vector<uint8_t>* out) {
    if (a.width != b.width || a.height != b.height || a.width <= 0 || a.height <= 0)
        return false;
    fraction = std::clamp(fraction, 0.0, 1.0);
    const int w = a.width, h = a.height;
    out->assign(size_t(w) * h * 4, 0);
    const int weight = static_cast<int>(fraction * 256 + 0.5);
    for (int y = 0; y < h; ++y) {
        const uint8_t* pa = a.pixels + size_t(y) * a.rowBytes;
        const uint8_t* pb = b.pixels + size_t(y) * b.rowBytes;
        uint8_t* po = out->data() + size_t(y) * w * 4;
        for (int x = 0; x < w; ++x, pa += 4, pb += 4, po += 4) {
            if (code == QtAtomType("dslv")) {
                for (int c = 0; c < 4; ++c)
                    po[c] = static_cast<uint8_t>((pa[c] * (256 - weight) + pb[c] * weight) / 256);
            } else {
                std::memcpy(po, WipeShowsB(side, fraction, x, y, w, h) ? pb : pa, 4);
            }
        }
    }
    return true;
}

void SetStandInFramePresenter(StandInFramePresenter presenter) { g_presenter = presenter; }
void SetStandInParameterDialog(StandInParameterDialog dialog) { g_dialog = dialog; }
const std::vector<uint8_t>& StandInLastFrame() { return g_lastFrame; }
int StandInOpenSequences() { return static_cast<int>(g_sequences.size()); }

namespace {

intptr_t DoGetEffectsList(const QtWord* args) {
    return CopyOut(StandInEffectList(), reinterpret_cast<uint8_t*>(args[0]), static_cast<uint32_t>(args[1]),
                   reinterpret_cast<uint32_t*>(args[2]));
}

intptr_t DoEffectSequenceBegin(const QtWord* args) {
    const auto* sources = reinterpret_cast<const QtEffectSources*>(args[0]);
    auto* out = reinterpret_cast<QtEffectSequence*>(args[1]);
    if (!sources || !out)
        return kQtParamErr;
    *out = 0;
    if (!sources->description || sources->descriptionLength == 0)
        return kQtNilHandleErr;
    const std::vector<QtAtom> atoms = ReadQtAtoms({sources->description, sources->descriptionLength});
    const uint32_t code = QtAtomU32(atoms, kStandInWhatAtom, 0);
    const QtImageDescription* image = sources->image;
    if (!image || image->idSize != static_cast<int32_t>(sizeof(QtImageDescription)) || image->cType != code)
        return kQtParamErr;
    if (!ValidWorld(sources->srcA) || !ValidWorld(sources->srcB) || sources->srcA->width != image->width ||
        sources->srcA->height != image->height || sources->srcB->width != image->width ||
        sources->srcB->height != image->height)
        return kQtParamErr;
    const bool known = std::any_of(kEffects.begin(), kEffects.end(), [code](const StandInEffect& e) { return e.code == code; });
    if (!known)
        return kQtParamErr;
    const QtEffectSequence id = g_nextSequence++;
    g_sequences[id] = {code, QtAtomU32(atoms, kStandInSideAtom, 0), *sources->srcA, *sources->srcB, sources->port};
    *out = id;
    return kQtNoErr;
}

intptr_t DoEffectDecompressFrame(const QtWord* args) {
    const auto found = g_sequences.find(static_cast<QtEffectSequence>(args[0]));
    const auto* time = reinterpret_cast<const QtFrameTime*>(args[1]);
    if (found == g_sequences.end() || !time || time->recordSize != static_cast<int32_t>(sizeof(QtFrameTime)) ||
        time->duration <= 0)
        return kQtParamErr;
    const Sequence& s = found->second;
    const double value = static_cast<double>(time->valueLow) + 4294967296.0 * time->valueHigh;
    if (!ComposeEffectFrame(s.code, s.side, value / time->duration, s.a, s.b, &g_lastFrame))
        return kQtParamErr;
    if (g_presenter)
        g_presenter(s.port, g_lastFrame.data(), s.a.width, s.a.height);
    return kQtNoErr;
}

intptr_t DoEffectSequenceEnd(const QtWord* args) {
    return g_sequences.erase(static_cast<QtEffectSequence>(args[0])) ? kQtNoErr : kQtParamErr;
}

intptr_t DoEffectParameterDialog(const QtWord* args) {
    const auto* description = reinterpret_cast<const uint8_t*>(args[0]);
    const auto length = static_cast<uint32_t>(args[1]);
    auto* edited = reinterpret_cast<uint8_t*>(args[3]);
    const auto capacity = static_cast<uint32_t>(args[4]);
    auto* size = reinterpret_cast<uint32_t*>(args[5]);
    if (!description || length == 0)
        return kQtNilHandleErr;
    const std::span<const uint8_t> bytes(description, length);
    uint32_t side = QtAtomU32(ReadQtAtoms(bytes), kStandInSideAtom, 0);
    if (!g_dialog || !g_dialog(bytes, args[2], &side))
        return kQtUserCanceled;
    const int32_t err = CopyOut(WithQtAtomU32(bytes, kStandInSideAtom, side), edited, capacity, size);
    return err == kQtBufferTooSmall ? kQtParamErr : err;
}

constexpr StandInRow kEffectRows[] = {
    {kQtSelGetEffectsList, DoGetEffectsList},
    {kQtSelEffectSequenceBegin, DoEffectSequenceBegin},
    {kQtSelEffectDecompressFrame, DoEffectDecompressFrame},
    {kQtSelEffectSequenceEnd, DoEffectSequenceEnd},
    {kQtSelEffectParameterDialog, DoEffectParameterDialog},
};

}  // namespace

std::span<const StandInRow> StandInEffectRows() { return kEffectRows; }
