// The working colour depth.
#include "core/ui/ScreenDepth.h"

namespace {
int g_screenDepth = 0;
}  // namespace

int RecordedDepth(int bitsPerPixel) { return bitsPerPixel == 24 ? 32 : bitsPerPixel; }
int GetScreenDepth() { return g_screenDepth; }
void SetScreenDepth(int bitsPerPixel) { g_screenDepth = RecordedDepth(bitsPerPixel); }
