// MINIMAL until the movie options, movie placing and sound dialogs exist: the installed answers
// stand in for the user.
#include "media/MediaDialogs.h"

#include <algorithm>

namespace {

MediaDialogAnswers g_answers;
ResRequest g_pending{};
bool g_hasPending = false;
int g_optionsAnswered = 0;

}  // namespace

void SetMediaDialogAnswers(const MediaDialogAnswers& answers) {
    g_answers = answers;
    g_optionsAnswered = 0;
}

int RunMovieOptions(HWND, int) {
    const int count = std::min<int>(g_answers.movieOptionsDialogCount, int(g_answers.movieOptionsDialog.size()));
    return g_optionsAnswered < count ? g_answers.movieOptionsDialog[g_optionsAnswered++] : 1;
}

void PlaceMovieRect(HWND, RECT* rect, HBITMAP) {
    if (g_answers.placesMovie && rect)
        *rect = g_answers.moviePlace;
}

void SetAudioDeckRequest(const ResRequest& request) {
    g_pending = request;
    g_hasPending = true;
}

int RunAudioDeckDialog(HWND, AudioDeckChoice* choice) {
    g_hasPending = false;
    return g_answers.audioDeck && choice ? g_answers.audioDeck(choice) : 0;
}

bool TakeAudioDeckRequest(ResRequest* request) {
    if (!g_hasPending || !request)
        return false;
    *request = g_pending;
    g_pending = {};
    g_hasPending = false;
    return true;
}
