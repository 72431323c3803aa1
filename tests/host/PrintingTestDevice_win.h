// A printer for tests: the print dialog answers as told, and each page is recorded into an
// enhanced metafile that the test reads back record by record.
#pragma once

#include <windows.h>
#include <cderr.h>
#include <commdlg.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "host/dialogs/PrintDevice.h"

class RecordingPrinter final : public PrintDevice {
public:
    // The answers.
    bool hasPrinter = true;
    bool cancel = false;
    DWORD failOnceWith = 0;  // a dialog error given once
    bool pageNumbers = false;
    WORD fromPage = 0, toPage = 0, copies = 1;
    int horzRes = 4800, vertRes = 6600, dpi = 600;
    // What happened.
    std::vector<DWORD> dialogFlags;
    std::vector<HENHMETAFILE> pages;
    int documents = 0, endedDocuments = 0, openPages = 0;
    ABORTPROC abort = nullptr;

    ~RecordingPrinter() override {
        for (HENHMETAFILE page : pages)
            DeleteEnhMetaFile(page);
    }

    BOOL PrintDialog(PRINTDLGA* d) override {
        dialogFlags.push_back(d->Flags);
        error_ = 0;
        if (!hasPrinter) {
            error_ = PDERR_NODEFAULTPRN;
            return FALSE;
        }
        if (d->Flags & PD_RETURNDEFAULT) {
            d->hDevNames = GlobalAlloc(GHND, 32);
            d->hDevMode = GlobalAlloc(GHND, 32);
            return TRUE;
        }
        if (failOnceWith) {
            error_ = failOnceWith;
            failOnceWith = 0;
            return FALSE;
        }
        if (cancel)
            return FALSE;
        if (pageNumbers) {
            d->Flags |= PD_PAGENUMS;
            d->nFromPage = fromPage;
            d->nToPage = toPage;
        }
        d->nCopies = copies;
        if (d->Flags & PD_RETURNDC)
            d->hDC = CreateCompatibleDC(nullptr);
        return TRUE;
    }
    DWORD DialogError() override { return error_; }
    int Caps(HDC, int index) override {
        switch (index) {
        case HORZRES: return horzRes;
        case VERTRES: return vertRes;
        case LOGPIXELSX: case LOGPIXELSY: return dpi;
        default: return 0;
        }
    }
    int StartDocument(HDC, const DOCINFOA*) override { return ++documents; }
    HDC StartPage(HDC) override {
        ++openPages;
        return CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    }
    int EndPage(HDC, HDC page) override {
        --openPages;
        pages.push_back(CloseEnhMetaFile(page));
        return 1;
    }
    int EndDocument(HDC) override { return ++endedDocuments; }
    int SetAbort(HDC, ABORTPROC procedure) override {
        abort = procedure;
        return 1;
    }
    void DeletePrinterDC(HDC printer) override { DeleteDC(printer); }

private:
    DWORD error_ = 0;
};

// One EMR_STRETCHDIBITS of a page: the destination and the bits as 0x00RRGGBB pixels (top row
// first) when the source is 24 or 32 bits.
struct RecordedImage {
    RECT dest{};
    int width = 0, height = 0, depth = 0;
    std::vector<uint32_t> pixels;
};
struct RecordedPage {
    std::vector<RecordedImage> images;
    std::vector<std::wstring> texts;
    std::vector<POINT> textPoints;
};

inline RecordedPage ReadRecordedPage(HENHMETAFILE page) {
    RecordedPage out;
    const UINT size = GetEnhMetaFileBits(page, 0, nullptr);
    std::vector<uint8_t> bytes(size);
    GetEnhMetaFileBits(page, size, bytes.data());
    for (size_t at = 0; at + 8 <= bytes.size();) {
        const auto* record = reinterpret_cast<const ENHMETARECORD*>(bytes.data() + at);
        if (record->nSize < 8 || at + record->nSize > bytes.size())
            break;
        if (record->iType == EMR_STRETCHDIBITS) {
            const auto* s = reinterpret_cast<const EMRSTRETCHDIBITS*>(record);
            RecordedImage image;
            image.dest = {s->xDest, s->yDest, s->xDest + s->cxDest, s->yDest + s->cyDest};
            const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bytes.data() + at + s->offBmiSrc);
            image.width = info->biWidth;
            image.height = std::abs(info->biHeight);
            image.depth = info->biBitCount;
            if ((image.depth == 24 || image.depth == 32) && info->biCompression == BI_RGB) {
                const uint8_t* bits = bytes.data() + at + s->offBitsSrc;
                const int step = image.depth / 8;
                const int stride = (image.width * step + 3) & ~3;
                for (int y = 0; y < image.height; ++y) {
                    const uint8_t* row = bits + static_cast<size_t>(image.height - 1 - y) * stride;
                    for (int x = 0; x < image.width; ++x)
                        image.pixels.push_back(row[step * x] | row[step * x + 1] << 8 | row[step * x + 2] << 16);
                }
            }
            out.images.push_back(std::move(image));
        } else if (record->iType == EMR_EXTTEXTOUTW) {
            const auto* t = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
            const auto* chars = reinterpret_cast<const wchar_t*>(bytes.data() + at + t->emrtext.offString);
            out.texts.emplace_back(chars, t->emrtext.nChars);
            out.textPoints.push_back({t->emrtext.ptlReference.x, t->emrtext.ptlReference.y});
        }
        at += record->nSize;
    }
    return out;
}
