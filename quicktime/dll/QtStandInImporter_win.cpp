// The graphics importer over WIC: the file's first frame decoded to BGRA when the importer is
// made, drawn into its port at its bounds (its natural size at the origin unless set).
#include <wincodec.h>
#include <windows.h>

#include <vector>

#include "quicktime/QtEffects.h"
#include "quicktime/dll/QtStandIn.h"
#include "quicktime/dll/QtStandInFiles.h"
#include "quicktime/dll/QtStandInPorts.h"
#include "quicktime/dll/StandInMovies_win.h"

namespace {

constexpr UINT kMaxPixels = 64u << 20;

struct Importer {
    std::vector<uint8_t> bgra;  // rows top first, composed over white
    int width = 0;
    int height = 0;
    QtRect bounds = {};
    QtGrafPtr port = nullptr;
    QtGDHandle device = nullptr;
};

bool Decode(const std::string& path, Importer* out) {
    const int n = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    ComScope com;
    ComRef<IWICImagingFactory> factory;
    ComRef<IWICBitmapDecoder> decoder;
    ComRef<IWICBitmapFrameDecode> frame;
    ComRef<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                reinterpret_cast<void**>(&factory))) ||
        FAILED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  &decoder)) ||
        FAILED(decoder->GetFrame(0, &frame)) || FAILED(factory->CreateFormatConverter(&converter)) ||
        FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom)))
        return false;
    UINT width = 0, height = 0;
    if (FAILED(converter->GetSize(&width, &height)) || width == 0 || height == 0 || width > 0x7FFF ||
        height > 0x7FFF || UINT64(width) * height > kMaxPixels)
        return false;
    out->bgra.resize(size_t(width) * height * 4);
    if (FAILED(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(out->bgra.size()), out->bgra.data())))
        return false;
    ComposeOverWhite(out->bgra);
    out->width = static_cast<int>(width);
    out->height = static_cast<int>(height);
    out->bounds = {0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)};
    return true;
}

intptr_t ImporterCall(void* state, int16_t what, const QtWord* params, int count) {
    auto* importer = static_cast<Importer*>(state);
    switch (what) {
    case kGiSelGetNaturalBounds: {
        auto* bounds = count >= 1 ? reinterpret_cast<QtRect*>(params[0]) : nullptr;
        if (!bounds)
            return kQtParamErr;
        *bounds = {0, 0, static_cast<int16_t>(importer->height), static_cast<int16_t>(importer->width)};
        return kQtNoErr;
    }
    case kGiSelDraw: {
        const QtGrafPtr port = importer->port ? importer->port : StandInCurrentPort();
        return StandInDrawIntoPort(port, importer->bgra.data(), importer->width, importer->height, importer->bounds)
                   ? kQtNoErr
                   : kQtParamErr;
    }
    case kGiSelSetGWorld:
        if (count < 2)
            return kQtParamErr;
        importer->port = reinterpret_cast<QtGrafPtr>(params[0]);
        importer->device = reinterpret_cast<QtGDHandle>(params[1]);
        return kQtNoErr;
    case kGiSelSetBoundsRect: {
        const auto* bounds = count >= 1 ? reinterpret_cast<const QtRect*>(params[0]) : nullptr;
        if (!bounds || bounds->right <= bounds->left || bounds->bottom <= bounds->top)
            return kQtParamErr;
        importer->bounds = *bounds;
        return kQtNoErr;
    }
    default: return kQtBadComponentSelector;
    }
}

void ImporterClose(void* state) { delete static_cast<Importer*>(state); }

const StandInComponentKind kImporterKind = {kQtGraphicsImporterType, nullptr, ImporterCall, ImporterClose};

intptr_t DoGetGraphicsImporterForFile(const QtWord* args) {
    const auto* file = reinterpret_cast<const QtFSSpec*>(args[0]);
    auto* out = reinterpret_cast<QtGraphicsImporter*>(args[1]);
    if (!out)
        return kQtParamErr;
    *out = nullptr;
    const std::string path = StandInFSSpecPath(file);
    if (path.empty())
        return kQtParamErr;
    auto* importer = new Importer;
    if (!Decode(path, importer)) {
        delete importer;
        return kQtCantFindHandler;
    }
    importer->port = StandInCurrentPort();
    *out = StandInNewInstance(&kImporterKind, importer);
    return kQtNoErr;
}

constexpr StandInRow kImporterRows[] = {
    {kQtSelGetGraphicsImporterForFile, DoGetGraphicsImporterForFile},
};

}  // namespace

std::span<const StandInRow> StandInImporterRows() { return kImporterRows; }
const StandInComponentKind* StandInGraphicsImporterKind() { return &kImporterKind; }
