// Finding a file that a stack names but that is not where the stack remembers it: beside the
// server copy of the stack, on another drive, near the stack, or by asking the user.
#include "core/files/FileLayer.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t kMaxChosenHere = 64;

// A file the user chose here, for the stack (its file's path) it was given to.
struct ChosenFile {
    std::string stack;
    std::string path;
};
struct LocateState {
    std::vector<ChosenFile> chosenHere;  // oldest first
};
LocateState g_locate;
RemoteFileRequester g_remoteRequester = nullptr;
LocateFileDialog g_locateDialog = nullptr;

bool IsSeparator(char c) { return c == '\\' || c == ':'; }

// The tails of a path, shortest first: the name, then one more folder each time, up to the
// whole path after "X:\" (or the whole path when it has no drive).
std::vector<std::string_view> PathTails(std::string_view path) {
    size_t stop = 0;
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\')
        stop = 3;
    else if (path.size() >= 2 && path[1] == ':')
        stop = 2;
    std::vector<std::string_view> tails;
    for (size_t i = path.size(); i > stop; --i) {
        if (IsSeparator(path[i - 1])) {
            if (i < path.size())
                tails.push_back(path.substr(i));
        }
    }
    if (stop < path.size())
        tails.push_back(path.substr(stop));
    // A path of one component gives the same tail twice.
    if (tails.size() >= 2 && tails[tails.size() - 1] == tails[tails.size() - 2])
        tails.pop_back();
    return tails;
}

// Cuts at the last '\' or ':'; npos when there is none.
size_t LastSeparator(std::string_view text) {
    for (size_t i = text.size(); i > 0; --i)
        if (IsSeparator(text[i - 1]))
            return i - 1;
    return std::string_view::npos;
}

// A file of the same path on another drive, C to Z first, then A and B.
bool FindOnOtherDrives(const FileSpec& remembered, FileSpec* found) {
    std::string path(PathOf(remembered));
    if (path.size() < 2 || path[1] != ':')
        return false;
    const std::string letters = "CDEFGHIJKLMNOPQRSTUVWXYZAB";
    for (char letter : letters) {
        path[0] = letter;
        if (FileExists(path.c_str())) {
            *found = remembered;
            SetFileSpecPath(found, path.c_str());
            return true;
        }
    }
    return false;
}

bool FindNear(const FileSpec& remembered, FileSpec* found) {
    const FileSpec* stack = GetFileSpec(kSlotCurrentStack);
    char path[kFileSpecPathSize] = {};
    if (!stack || !FindFileNearStackPath(std::string(PathOf(remembered)).c_str(), std::string(PathOf(*stack)).c_str(),
                                         path, sizeof path))
        return false;
    SetFileSpecPath(found, path);
    return true;
}

bool AskUser(const FileRequest& request, const FileSpec& remembered, FileSpec* found) {
    if (!g_locateDialog)
        return false;
    // The dialog starts with the remembered name in the current stack's folder.
    std::string name(NameOf(remembered));
    if (name.empty()) {
        const std::string_view path = PathOf(remembered);
        const size_t cut = LastSeparator(path);
        name = std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
    }
    char path[kFileSpecPathSize];
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    SetPathFileName(name.c_str(), path, sizeof path);
    FileSpec start = remembered;
    SetFileSpecPath(&start, path);
    FileSpec chosen = start;
    if (!g_locateDialog(request, start, &chosen))
        return false;
    *found = chosen;
    return true;
}

bool SamePath(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string OpenStackPath() {
    const FileSpec* stack = GetFileSpec(kSlotCurrentStack);
    return stack ? std::string(PathOf(*stack)) : std::string();
}

bool ChosenHere(std::string_view path) {
    const std::string stack = OpenStackPath();
    return std::any_of(g_locate.chosenHere.begin(), g_locate.chosenHere.end(), [&](const ChosenFile& chosen) {
        return SamePath(chosen.path, path) && SamePath(chosen.stack, stack);
    });
}

// The stack's files are asked of where the stack came from, unless the user chose this one here.
bool AsksTheStacksSource(std::string_view path, bool here) { return !here && !ChosenHere(path); }

// The search on this machine, in its order; *found is written only when the file is found.
bool LocateHere(const FileRequest& request, const FileSpec& remembered, FileSpec* found, bool preferNear) {
    if (preferNear && FindNear(remembered, found))
        return true;
    if (FileExists(std::string(PathOf(remembered)).c_str())) {
        *found = remembered;
        return true;
    }
    if (FindOnOtherDrives(remembered, found))
        return true;
    if (!preferNear && FindNear(remembered, found))
        return true;
    return AskUser(request, remembered, found);
}

// The download queue reads the file it asks for from a slot, and binds what arrives into a
// slot: a file remembered outside the table is lent slot 0 for the request, then put back.
bool AskStacksSourceFor(FileRequest request, const FileSpec& remembered, FileSpec* found, bool preferNear) {
    FileSpec* lent = GetFileSpec(kSlotScratch);
    if (!g_remoteRequester)
        return LocateHere(request, remembered, found, preferNear);
    if (!lent)
        return false;
    const FileSpecKeeper kept(kSlotScratch);
    *lent = remembered;
    request.slot = kSlotScratch;
    const int asked = g_remoteRequester(request, kSlotScratch);
    if (asked == kStackFilesAreHere)
        return LocateHere(request, remembered, found, preferNear);
    if (asked == 0)
        return false;
    *found = *lent;
    return true;
}

}  // namespace

int KeptCopyFromStacksSource(const char* storedPath, char* copy, size_t size) {
    if (copy && size)
        copy[0] = 0;
    FileSpec* lent = GetFileSpec(kSlotScratch);
    if (!g_remoteRequester || !lent)
        return kStackFilesAreHere;
    const FileSpecKeeper kept(kSlotScratch);
    SetFileSpecPath(lent, storedPath ? storedPath : "");
    const FileRequest request = {0, nullptr, kRequestKeptOnly, 0, static_cast<uint16_t>(kSlotScratch), 0};
    const int answer = g_remoteRequester(request, kSlotScratch);
    if (answer != 1)
        return answer == kStackFilesAreHere ? kStackFilesAreHere : 0;
    const std::string_view path = PathOf(*lent);
    if (!copy || path.size() >= size)
        return 0;
    std::copy(path.begin(), path.end(), copy);
    copy[path.size()] = 0;
    return 1;
}

void RememberFileChosenHere(const char* path) {
    if (!path || !*path)
        return;
    const std::string stack = OpenStackPath();
    std::erase_if(g_locate.chosenHere,
                  [&](const ChosenFile& chosen) { return SamePath(chosen.path, path) && SamePath(chosen.stack, stack); });
    if (g_locate.chosenHere.size() >= kMaxChosenHere)
        g_locate.chosenHere.erase(g_locate.chosenHere.begin());
    g_locate.chosenHere.push_back({stack, path});
}
void SetRemoteFileRequester(RemoteFileRequester requester) { g_remoteRequester = requester; }
void SetLocateFileDialog(LocateFileDialog dialog) { g_locateDialog = dialog; }

LocateFileWithoutAsking::LocateFileWithoutAsking() : saved_(g_locateDialog) { g_locateDialog = nullptr; }
LocateFileWithoutAsking::~LocateFileWithoutAsking() { g_locateDialog = saved_; }

bool FindFileNearStackPath(const char* remembered, const char* stackPath, char* found, size_t size) {
    CopyPathText({}, found, size);
    if (!remembered || !stackPath || !found || size == 0)
        return false;
    const std::vector<std::string_view> tails = PathTails(remembered);
    std::string_view base(stackPath);
    for (int round = 0; round < 2; ++round) {
        const size_t cut = LastSeparator(base);
        if (cut == std::string_view::npos)
            return false;
        const std::string_view folder = base.substr(0, cut);
        for (std::string_view tail : tails) {
            std::string candidate(folder);
            candidate += '\\';
            candidate += tail;
            if (candidate.size() < kFileSpecPathSize && FileExists(candidate.c_str())) {
                CopyPathText(candidate, found, size);
                return true;
            }
        }
        // One folder up, unless that reaches the drive.
        if (cut > 0 && base[cut] == ':')
            return false;
        if (!folder.empty() && folder.back() == ':')
            return false;
        base = folder;
    }
    return false;
}

bool LocateRememberedFile(FileRequest request, const FileSpec& remembered, FileSpec* found, bool preferNear,
                          bool here) {
    if (!found)
        return false;
    FileSpec result = remembered;
    const bool located = AsksTheStacksSource(PathOf(remembered), here)
                             ? AskStacksSourceFor(request, remembered, &result, preferNear)
                             : LocateHere(request, remembered, &result, preferNear);
    if (!located)
        return false;
    *found = result;
    return found->path[0] != 0;
}

bool LocateRememberedPath(const FileRequest& request, const char* remembered, char* found, size_t size, bool preferNear,
                          bool here) {
    CopyPathText({}, found, size);
    if (!remembered || !found || size == 0)
        return false;
    FileSpec spec = EmptyFileSpec();
    SetFileSpecPath(&spec, remembered);
    if (!LocateRememberedFile(request, spec, &spec, preferNear, here))
        return false;
    CopyPathText(PathOf(spec), found, size);
    return true;
}

int LocateFile(const FileRequest& request, int destinationSlot, bool preferNear, bool here) {
    const FileSpec* remembered = GetFileSpec(request.slot);
    if (g_remoteRequester && AsksTheStacksSource(remembered ? PathOf(*remembered) : std::string_view(), here)) {
        const int asked = g_remoteRequester(request, destinationSlot);
        if (asked != kStackFilesAreHere)
            return asked;
    }
    remembered = GetFileSpec(request.slot);
    FileSpec* destination = GetFileSpec(destinationSlot);
    if (!remembered || !destination)
        return 0;
    const FileSpec kept = *remembered;  // the destination may be the request's own slot
    return LocateHere(request, kept, destination, preferNear) ? 1 : 0;
}
