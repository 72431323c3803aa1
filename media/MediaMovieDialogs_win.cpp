// A new movie for a card or object: chosen, placed on the card, its options shown (another movie
// may be chosen from them), or measured for a dropped file.
#include "media/MediaDialogs.h"

#include "actions/ActionBlock.h"
#include "core/events/EditorGuard.h"
#include "core/files/FileSlots.h"
#include "core/memory/ByteReader.h"
#include "media/MediaManagerState.h"
#include "media/MediaMovieFiles.h"

namespace {

// The options dialog's button that asks for another movie, and its cancel.
constexpr int kOptionsAnotherMovie = 50;
constexpr int kOptionsCancel = 2;
constexpr size_t kMeasureBytes = 32;

void WriteChunkFields(std::span<uint8_t> chunk, const MediaElement& e) {
    SetU16(chunk, kObjectRect, static_cast<uint16_t>(e.rect.left));
    SetU16(chunk, kObjectRect + 2, static_cast<uint16_t>(e.rect.top));
    SetU16(chunk, kObjectRect + 4, static_cast<uint16_t>(e.rect.right));
    SetU16(chunk, kObjectRect + 6, static_cast<uint16_t>(e.rect.bottom));
    SetU32(chunk, kChunkValue, e.flags);
    SetU16(chunk, kChunkOptionWord, static_cast<uint16_t>(e.volume));
}

// Another movie for the options: the chosen file's element, placed, takes the place of the old
// one and the movie becomes that file; cancelled or failed, the old one stays.
MediaElement* ChooseAnother(HWND owner, MediaElement* old, FileSpec* movie) {
    FileSpec chosenFile{};
    if (!ChooseMovieFile(owner, &chosenFile))
        return old;
    MediaElement* chosen = NewMovieElement(chosenFile.path);
    if (chosen && chosen->PrepareStill()) {
        chosen->flags = old->flags;
        delete old;
        *movie = chosenFile;
        return chosen;
    }
    delete chosen;
    return old;
}

// The options of the movie for the chunk; 1 unless the last answer was cancel.
int OptionsLoop(const MediaManager& m, std::span<uint8_t> chunk, FileSpec* movie) {
    MediaElement* element = NewMovieElement(chunk, movie->path);
    if (!element)
        return 0;
    int answer = element->ShowOptions();
    while (answer == kOptionsAnotherMovie) {
        element = ChooseAnother(m.window, element, movie);
        answer = element->ShowOptions();
    }
    // Accepted, the chunk is the caller's record of the choice.
    if (answer != kOptionsCancel)
        WriteChunkFields(chunk, *element);
    delete element;
    return answer == kOptionsCancel ? 0 : 1;
}

}  // namespace

int MediaMovieOptions(std::span<uint8_t> videoChunk, int fileGiven, FileSpec* movie) {
    const EditorGuard guard;
    const MediaManager* m = TheMediaManager();
    if (!m || !movie || videoChunk.size() < kMediaRecordMinBytes)
        return 0;
    if (!fileGiven)
        return MediaChooseMovie(videoChunk, movie);
    // A movie that cannot be found is chosen anew rather than shown from a missing file.
    if (!LocateMovieFile(*movie, movie))
        return MediaChooseMovie(videoChunk, movie);
    return OptionsLoop(*m, videoChunk, movie);
}

int MediaChooseMovie(std::span<uint8_t> videoChunk, FileSpec* movie) {
    const MediaManager* m = TheMediaManager();
    FileSpec chosen{};
    if (!m || !movie || videoChunk.size() < kMediaRecordMinBytes || !ChooseMovieFile(m->window, &chosen))
        return 0;
    MediaElement* element = NewMovieElement(videoChunk, chosen.path);
    if (!element)
        return 0;
    if (!element->PrepareStill()) {
        delete element;
        return 0;
    }
    WriteChunkFields(videoChunk, *element);
    delete element;
    *movie = chosen;
    return OptionsLoop(*m, videoChunk, movie);
}

int MediaMeasureMovieFile(ActionBlock* block) {
    if (!TheMediaManager() || !block)
        return 0;
    uint8_t chunk[kMeasureBytes] = {};
    MediaElement* element = NewMovieElement(block->movieFile.path);
    if (!element)
        return 0;
    const int measured = element->Measure(chunk);
    if (measured) {
        block->movieOption = GetU32(chunk, kChunkValue);
        block->movieSet = 1;
        block->movieOptionWord = GetU16(chunk, kChunkOptionWord);
        block->movieRect = {GetI16(chunk, kObjectRect), GetI16(chunk, kObjectRect + 2),
                            GetI16(chunk, kObjectRect + 4), GetI16(chunk, kObjectRect + 6)};
    }
    delete element;
    return measured;
}
