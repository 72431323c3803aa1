// Opening an element's movie file and inspecting what it holds.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "core/ui/Alerts.h"
#include "media/elements/QTElements.h"
#include "quicktime/QtCalls.h"
#include "quicktime/QuickTime.h"
#include "media/support/MovieFileRecord.h"

namespace {

constexpr QtOSType kIndeo32 = QtFourCC("IV32");
constexpr QtOSType kMusicMedia = QtFourCC("musi");
constexpr QtOSType kSpriteMedia = QtFourCC("sprt");
constexpr QtOSType kControllerTypeData = QtFourCC("ctyp");
constexpr int32_t kQuickTime4 = 0x0400;

std::string_view TemporaryName(const QTElement& element) {
    return {reinterpret_cast<const char*>(element.temporaryFile + 1), element.temporaryFile[0]};
}

// The MIDI file through the importer into a new "MID" file in the temporary folder, which the
// element then owns (and deletes when it closes).
int ImportMidiFile(QTElement& element) {
    // Opened again: the earlier import goes first.
    if (element.temporaryFile[0]) {
        DeleteFileA(std::string(TemporaryName(element)).c_str());
        element.temporaryFile[0] = 0;
    }
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "MID", 0, name))
        return kMediaOpenFailed;
    const size_t length = std::min<size_t>(std::strlen(name), kMediaPathChars - 1);
    element.temporaryFile[0] = static_cast<uint8_t>(std::min<size_t>(length, 255));
    std::memcpy(element.temporaryFile + 1, name, element.temporaryFile[0]);
    QtFSSpec input{};
    QtFSSpec output{};
    if (MovieFileRecord(element.path, &input) != kQtNoErr ||
        MovieFileRecord(name, &output) != kQtNoErr)
        return kMediaOpenFailed;
    QtComponentInstance importer = OpenDefaultComponent(kQtMovieImportType, kQtMidiSubType);
    if (!importer)
        return kMediaOpenFailed;
    const QtErr error = ConvertFileToMovieFile(&input, &output, 0, -1, nullptr, 0, importer);
    CloseComponent(importer);
    return error == kQtNoErr ? 0 : kMediaOpenFailed;
}

bool TrackUsesIndeo32(QtMedia media) {
    QtHandle description = QTNewHandle(0);
    if (!description)
        return false;
    GetMediaSampleDescription(media, 1, description);
    bool indeo = false;
    QtSampleDescription header{};
    if (QTGetHandleSize(description) >= sizeof header) {
        std::memcpy(&header, *description, sizeof header);
        indeo = header.dataFormat == kIndeo32;
    }
    QTDisposeHandle(description);
    return indeo;
}

bool NeedsIndeo32(QtMovie movie) {
    const int32_t tracks = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= tracks; ++i) {
        if (QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, i)); media && TrackUsesIndeo32(media))
            return true;
    }
    return false;
}

}  // namespace

bool HasExtension(const char* path, const char* extension) {
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strpbrk(dot, "\\/"))
        return false;
    const std::string_view have(dot + 1);
    const std::string_view want(extension);
    return have.size() == want.size() && std::equal(have.begin(), have.end(), want.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

int OpenElementMovieFile(QTElement& element) {
    char source[kMediaPathChars] = {};
    if (HasExtension(element.path, "mid")) {
        if (const int error = ImportMidiFile(element))
            return error;
        const std::string_view name = TemporaryName(element);
        std::memcpy(source, name.data(), name.size());
    } else {
        std::memcpy(source, element.path, kMediaPathChars - 1);
    }
    QtFSSpec file{};
    if (const QtErr error = MovieFileRecord(source, &file); error != kQtNoErr)
        return error;
    int16_t reference = 0;
    if (const QtErr error = OpenMovieFile(&file, &reference, kQtReadPermission); error != kQtNoErr)
        return error;
    QtMovie movie = nullptr;
    const QtErr error = NewMovieFromFile(&movie, reference, nullptr, nullptr, kQtNewMovieActive, nullptr);
    CloseMovieFile(reference);
    if (error != kQtNoErr)
        return error;
    if (!movie)
        return kMediaOpenFailed;
    if (element.movie)
        DisposeMovie(element.movie);
    element.movie = movie;
    return 0;
}

bool InspectElementMovie(QTElement& element) {
    QtMovie movie = element.movie;
    if (!movie)
        return false;
    if (HasExtension(element.path, "avi")) {
        int32_t version = 0;
        Gestalt(kGestaltQuickTime, &version);
        if (((version >> 16) & 0xFFFF) < kQuickTime4 && NeedsIndeo32(movie)) {
            ShowAlert(kAlertUnsupportedCompression);
            return false;
        }
        element.state &= ~kMediaStateOwnWindow;
    }
    element.state |= kMediaStateInspected;
    element.state &= ~(kMediaStateSoundOnly | kMediaStateSpriteOnly);
    bool video = false, sound = false, sprite = false;
    const int32_t tracks = GetMovieTrackCount(movie);
    for (int32_t i = 1; i <= tracks; ++i) {
        QtMedia media = GetTrackMedia(GetMovieIndTrack(movie, i));
        if (!media)
            continue;
        QtOSType type = 0;
        GetMediaHandlerDescription(media, &type, nullptr, nullptr);
        video |= type == kQtVideoMediaType;
        sound |= type == kQtSoundMediaType || type == kMusicMedia;
        sprite |= type == kSpriteMedia;
    }
    if (sprite && !video)
        element.state |= kMediaStateSpriteOnly;
    if (sound && !video && !sprite)
        element.state |= kMediaStateSoundOnly;
    element.state &= ~kMediaStateControllerType;
    if (QtUserData data = GetMovieUserData(movie); data && CountUserDataType(data, kControllerTypeData) > 0)
        element.state |= kMediaStateControllerType;
    return true;
}

bool OpenAndInspectMovie(QTElement& element) {
    return OpenElementMovieFile(element) == 0 && InspectElementMovie(element);
}

bool IsControllerVisible(const MediaElement& element) {
    if (element.state & kMediaStateControllerType)
        return (element.flags & kMediaFlagOwnController) != 0;
    return (element.flags & kMediaFlagController) != 0;
}
