// Whole 'Sprt' records: loaded with their pictures made, saved with them packed.
#include "media/animation/AnimPlayback.h"

#include "format/StackFile.h"

int LoadAnimRecord(const uint8_t* stored, uint32_t length, Handle* sprite) {
    *sprite = 0;
    Handle made = 0;
    if (!stored || ReadStoredAnimRecord({stored, length}, &made) != 0)
        return -1;
    const Handle film = GetSpriteFilm(made);
    InstallFilmMethods(film);
    if (UnflattenFilm(film) != 0) {
        DisposeSprite(made);
        return -1;
    }
    *sprite = made;
    return 0;
}

int SaveAnimRecord(Handle sprite) {
    if (const Handle film = GetSpriteFilm(sprite)) {
        const int flattened = FlattenFilm(film);
        if (flattened != 0)
            return flattened;
    }
    return WriteStoredAnimRecord(sprite);
}

void DisposeSprite(Handle sprite) { DisposeFilm(DisposeSpriteKeepFilm(sprite)); }
