// The cursor cache, animated cursors and hiding the cursor while typing.
#include "core/ui/CursorCache.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "core/memory/ByteReader.h"
#include "core/system/PluginModule.h"
#include "core/ui/CursorImages.h"
#include "core/ui/DisplayUtils.h"

namespace {

constexpr size_t kCacheGrowth = 25;

struct Animation {
    uint32_t step = 0;
    uint16_t ticks = 0;
    std::vector<uint32_t> rates, sequence;
    std::vector<HCURSOR> frames;
};

struct CacheEntry {
    uint16_t id = 0;
    uint16_t kind = 0;
    HCURSOR cursor = nullptr;  // animated: the frame shown now
    Animation* animation = nullptr;
};

struct CursorCache {
    HWND timerWindow = nullptr;  // where timer 69 runs; null when stopped
    size_t current = 0;
    std::vector<CacheEntry> entries;
};

CursorCache* g_cache = nullptr;
CursorDataSource g_source = nullptr;
int g_hideMode = 0;
POINT g_hiddenAt = {};

// Built-in cursors are icons in the module: destroying them is the system's business.
void DestroyEntry(CacheEntry& e) {
    if (e.animation) {
        for (HCURSOR frame : e.animation->frames)
            DestroyCursor(frame);
        delete e.animation;
    } else if (e.cursor && !IsBuiltInCursorId(e.id)) {
        DestroyCursor(e.cursor);
    }
    e = {};
}

// The image of the directory that fits the system cursor size best, not deeper than the
// display when one is.
int BestImage(std::span<const uint8_t> block, int cx, int cy) {
    const int displayBits = GetDisplayBitsPerPixel();
    int best = -1;
    long bestScore = LONG_MAX;
    for (int i = 0; i < IconImageCount(block); ++i) {
        IconImage image;
        if (!ReadIconImage(block, i, &image))
            continue;
        const long distance = std::labs(image.width - cx) + std::labs(image.height - cy);
        const long depth = image.bitCount <= displayBits ? displayBits - image.bitCount : 1000 + image.bitCount;
        const long score = distance * 10000 + depth;
        if (score < bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

bool LoadEntry(uint16_t id, CacheEntry* e) {
    e->id = id;
    if (IsBuiltInCursorId(id)) {
        e->kind = kCursorStill;
        e->cursor = static_cast<HCURSOR>(LoadImageA(GetAppInstance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_SHARED));
        return e->cursor != nullptr;
    }
    if (!g_source)
        return false;
    const std::vector<uint8_t> data = g_source(id);
    CursorResource cursor;
    if (!ReadCursorResource(data, &cursor))
        return false;
    e->kind = cursor.kind;
    if (cursor.kind == kCursorStill) {
        e->cursor = CursorFromIconBlock(cursor.still);
        return e->cursor != nullptr;
    }
    auto* animation = new Animation{0, 0, cursor.rates, cursor.sequence, {}};
    for (const auto& frame : cursor.frames) {
        HCURSOR made = CursorFromIconBlock(frame);
        if (!made) {
            for (HCURSOR f : animation->frames)
                DestroyCursor(f);
            delete animation;
            return false;
        }
        animation->frames.push_back(made);
    }
    e->animation = animation;
    e->cursor = animation->frames[animation->sequence[0]];
    return true;
}

void MakeCurrent(size_t index) {
    g_cache->current = index;
    SetCursorAnimTimer(g_cache->entries[index].kind == kCursorAnimated);
}

bool MouseOverCardWindow() {
    const HWND card = GetMainWindow();
    POINT p = {};
    if (!card || !GetCursorPos(&p))
        return false;
    const HWND under = WindowFromPoint(p);
    return under && (under == card || IsChild(card, under));
}

}  // namespace

HCURSOR CursorFromIconBlock(std::span<const uint8_t> block) {
    const int cx = GetSystemMetrics(SM_CXCURSOR), cy = GetSystemMetrics(SM_CYCURSOR);
    const int index = BestImage(block, cx, cy);
    IconImage image;
    if (index < 0 || !ReadIconImage(block, index, &image))
        return nullptr;
    // A cursor resource is the hot spot, then the image.
    const uint32_t end = image.andOffset + image.andRowBytes * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> resource(4);
    SetU16(resource, 0, image.hotX);
    SetU16(resource, 2, image.hotY);
    resource.insert(resource.end(), block.begin() + image.offset, block.begin() + end);
    // Images whose header gives the height once are made whole for the call.
    SetU32(std::span(resource).subspan(4), 8, static_cast<uint32_t>(image.height * 2));
    return reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE,
                                                              0x00030000, cx, cy, LR_DEFAULTCOLOR));
}

HCURSOR GetCursorById(uint16_t id) {
    if (id == 0)
        return nullptr;
    if (!g_cache)
        g_cache = new CursorCache;
    auto& entries = g_cache->entries;
    if (g_cache->current < entries.size() && entries[g_cache->current].id == id && entries[g_cache->current].cursor)
        return entries[g_cache->current].cursor;
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == id && entries[i].cursor) {
            MakeCurrent(i);
            return entries[i].cursor;
        }
    CacheEntry loaded;
    if (!LoadEntry(id, &loaded))
        return nullptr;
    if (entries.size() == entries.capacity())
        entries.reserve(entries.capacity() + kCacheGrowth);
    entries.push_back(loaded);
    MakeCurrent(entries.size() - 1);
    return loaded.cursor;
}

void SetCursorAnimTimer(bool on) {
    if (!g_cache)
        return;
    const HWND card = GetMainWindow();
    if (on && !g_cache->timerWindow && card) {
        if (SetTimer(card, kCursorAnimTimerId, kCursorAnimMilliseconds, nullptr))
            g_cache->timerWindow = card;
    } else if (!on && g_cache->timerWindow) {
        // The window that has the timer, even when the card window is being let go.
        KillTimer(g_cache->timerWindow, kCursorAnimTimerId);
        g_cache->timerWindow = nullptr;
    }
}

int StepAnimatedCursor() {
    if (!g_cache || g_cache->current >= g_cache->entries.size())
        return 0;
    if (!MouseOverCardWindow()) {
        SetCursorAnimTimer(false);
        return 0;
    }
    CacheEntry& e = g_cache->entries[g_cache->current];
    Animation* a = e.animation;
    if (!a || a->sequence.empty())
        return 0;
    const uint32_t shown = a->sequence[a->step % a->sequence.size()];
    if (++a->ticks >= a->rates[shown]) {
        a->ticks = 0;
        a->step = (a->step + 1) % static_cast<uint32_t>(a->sequence.size());
        e.cursor = a->frames[a->sequence[a->step]];
        SetCursor(e.cursor);
    }
    return 1;
}

void ResetCursorCache() {
    if (!g_cache)
        return;
    SetCursorAnimTimer(false);
    for (CacheEntry& e : g_cache->entries)
        DestroyEntry(e);
    g_cache->entries.clear();
    g_cache->current = 0;
}

void FreeCursorCache() {
    ResetCursorCache();
    delete g_cache;
    g_cache = nullptr;
}

size_t CursorCacheCount() { return g_cache ? g_cache->entries.size() : 0; }

void SetCursorDataSource(CursorDataSource source) { g_source = source; }

void SetCursorHideMode(int mode) {
    const int before = g_hideMode;
    if (mode == 1 || mode == 2) {
        if (before == 0 || before == 3)
            ShowCursor(FALSE);
        GetCursorPos(&g_hiddenAt);
        g_hideMode = mode;
    } else if (mode == 3) {
        POINT now = {};
        GetCursorPos(&now);
        const bool moved = now.x != g_hiddenAt.x || now.y != g_hiddenAt.y;
        if (before == 1 || (before == 2 && moved)) {
            ShowCursor(TRUE);
            g_hideMode = 0;
        } else if (before != 0 && before != 2) {
            g_hideMode = 0;
        }
    } else if (before != 0) {
        if (before != 3)
            ShowCursor(TRUE);
        g_hideMode = 0;
    }
}

int GetCursorHideMode() { return g_hideMode; }
