// Picture files through a QuickTime graphics importer, and metafile files, drawn into bitmaps.
#include <cstring>

#include "core/files/FileSlots.h"
#include "core/ui/GdiGuards.h"
#include "graphics/palette/AppPalette.h"
#include "graphics/pixels/CardOffscreen.h"
#include "media/previews/Previewers.h"
#include "media/support/MetafileRender.h"
#include "quicktime/QtCalls.h"
#include "media/support/MovieFileRecord.h"

namespace {

QtRect AtOrigin(const RECT& r) {
    return QtRect{0, 0, static_cast<int16_t>(r.bottom - r.top), static_cast<int16_t>(r.right - r.left)};
}

}  // namespace

QTPictureFile::QTPictureFile(const char* file) {
    if (file)
        CopyPathText(file, path, sizeof path);
}

QTPictureFile::~QTPictureFile() { Close(); }

bool QTPictureFile::Open(HWND fitInto) {
    Close();
    QtFSSpec spec{};
    if (MovieFileRecord(path, &spec) != kQtNoErr || GetGraphicsImporterForFile(&spec, &importer) != kQtNoErr ||
        !importer) {
        importer = nullptr;
        return false;
    }
    QtRect natural{};
    if (GraphicsImportGetNaturalBounds(importer, &natural) != kQtNoErr)
        return false;
    rect = RECT{natural.left, natural.top, natural.right, natural.bottom};
    if (fitInto) {
        FitRectInWindow(&rect, fitInto, false);
        // The importer draws into a bitmap of the rectangle's size: its bounds start at 0.
        const QtRect bounds = AtOrigin(rect);
        GraphicsImportSetBoundsRect(importer, &bounds);
    }
    return true;
}

HBITMAP QTPictureFile::DrawToBitmap(DibHolder* holder) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!importer || width <= 0 || height <= 0)
        return nullptr;
    WindowDC card(GetCardWindow());
    SelectedPalette palette(card.get(), GetAppPalette(), SelectedPalette::kIfIndexed);
    HBITMAP section = MakeDibSection(holder, width, height, card.get());
    QtGWorldPtr world = nullptr;
    if (!section || NewGWorldFromHBITMAP(&world, nullptr, nullptr, 0, section, card.get()) != kQtNoErr || !world) {
        if (section)
            DeleteObject(section);
        return nullptr;
    }
    GraphicsImportSetGWorld(importer, reinterpret_cast<QtGrafPtr>(world), nullptr);
    const bool drawn = GraphicsImportDraw(importer) == kQtNoErr;
    GraphicsImportSetGWorld(importer, nullptr, nullptr);
    DisposeGWorld(world);
    if (!drawn) {
        DeleteObject(section);
        return nullptr;
    }
    return section;
}

HBITMAP QTPictureFile::DrawMetafile(HWND fitInto) {
    const MappedFile mapped(path);
    const MetafileLayout layout = ReadMetafileLayout(mapped.bytes());
    rect = RECT{};
    if (layout.kind != MetafileKind::Placeable)
        return nullptr;
    rect = RECT{0, 0, layout.right - layout.left, layout.bottom - layout.top};
    FitRectInWindow(&rect, fitInto, false);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return nullptr;
    WindowDC card(GetCardWindow());
    MemoryDC memory(card.get());
    OwnedGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(card.get(), width, height));
    if (!memory || !bitmap)
        return nullptr;
    bool played = false;
    {
        SelectedObject selected(memory.get(), bitmap.get());
        PatBlt(memory.get(), 0, 0, width, height, WHITENESS);
        played = PlayMetafileInto(memory.get(), mapped.bytes(), layout, width, height);
    }
    return played ? bitmap.release() : nullptr;
}

void QTPictureFile::Close() {
    if (importer)
        CloseComponent(importer);
    importer = nullptr;
}
