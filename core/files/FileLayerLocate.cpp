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

struct LocateState {
    bool localMode = false;
    std::vector<std::string> chosenHere;  // oldest first
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

bool CopyToDestination(int sourceSlot, int destinationSlot) {
    if (!GetFileSpec(sourceSlot) || !GetFileSpec(destinationSlot))
        return false;
    CopyFileSpec(static_cast<int16_t>(sourceSlot), static_cast<int16_t>(destinationSlot));
    return true;
}

bool FindOnOtherDrives(const FileRequest& request, int destinationSlot) {
    const FileSpec* spec = GetFileSpec(request.slot);
    if (!spec)
        return false;
    std::string path(PathOf(*spec));
    if (path.size() < 2 || path[1] != ':')
        return false;
    const std::string letters = "CDEFGHIJKLMNOPQRSTUVWXYZAB";
    for (char letter : letters) {
        path[0] = letter;
        if (FileExists(path.c_str())) {
            if (!CopyToDestination(request.slot, destinationSlot))
                return false;
            SetFileSpecFromPath(destinationSlot, path.c_str());
            return true;
        }
    }
    return false;
}

bool FindNear(const FileRequest& request, int destinationSlot) {
    const FileSpec* remembered = GetFileSpec(request.slot);
    const FileSpec* stack = GetFileSpec(kSlotCurrentStack);
    if (!remembered || !stack)
        return false;
    return FindFileNearStack(std::string(PathOf(*remembered)).c_str(), std::string(PathOf(*stack)).c_str(),
                             destinationSlot);
}

bool AskUser(const FileRequest& request, int destinationSlot) {
    const FileSpec* remembered = GetFileSpec(request.slot);
    FileSpec* scratch = GetFileSpec(kSlotScratch);
    if (!remembered || !scratch || !g_locateDialog)
        return false;
    // Slot 0: the remembered name in the current stack's folder.
    std::string name(NameOf(*remembered));
    if (name.empty()) {
        const std::string_view path = PathOf(*remembered);
        const size_t cut = LastSeparator(path);
        name = std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
    }
    char path[kFileSpecPathSize];
    GetFileSpecPath(kSlotCurrentStack, sizeof path, path);
    SetPathFileName(name.c_str(), path, sizeof path);
    SetFileSpecFromPath(kSlotScratch, path);
    if (!g_locateDialog(request))
        return false;
    return CopyToDestination(kSlotScratch, destinationSlot);
}

bool SamePath(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool ChosenHere(int slot) {
    const FileSpec* spec = GetFileSpec(slot);
    if (!spec)
        return false;
    const std::string_view path = PathOf(*spec);
    return std::any_of(g_locate.chosenHere.begin(), g_locate.chosenHere.end(),
                       [path](const std::string& chosen) { return SamePath(chosen, path); });
}

}  // namespace

void RememberFileChosenHere(const char* path) {
    if (!path || !*path)
        return;
    std::erase_if(g_locate.chosenHere, [path](const std::string& chosen) { return SamePath(chosen, path); });
    if (g_locate.chosenHere.size() >= kMaxChosenHere)
        g_locate.chosenHere.erase(g_locate.chosenHere.begin());
    g_locate.chosenHere.emplace_back(path);
}

void SetLocateFileLocalMode(bool local) { g_locate.localMode = local; }
bool IsLocateFileLocalMode() { return g_locate.localMode; }
void SetRemoteFileRequester(RemoteFileRequester requester) { g_remoteRequester = requester; }
void SetLocateFileDialog(LocateFileDialog dialog) { g_locateDialog = dialog; }

LocateFileWithoutAsking::LocateFileWithoutAsking() : saved_(g_locateDialog) { g_locateDialog = nullptr; }
LocateFileWithoutAsking::~LocateFileWithoutAsking() { g_locateDialog = saved_; }

bool FindFileNearStack(const char* remembered, const char* stackPath, int destinationSlot) {
    char found[kFileSpecPathSize] = {};
    if (!GetFileSpec(destinationSlot) || !FindFileNearStackPath(remembered, stackPath, found, sizeof found))
        return false;
    SetFileSpecFromPath(destinationSlot, found);
    return true;
}

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
    FileSpec* scratch = GetFileSpec(kSlotScratch);
    if (!found || !scratch)
        return false;
    const FileSpecKeeper kept(kSlotScratch);
    *scratch = remembered;
    request.slot = kSlotScratch;
    if (LocateFile(request, kSlotScratch, preferNear, here) == 0)
        return false;
    *found = *scratch;
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
    if (!g_locate.localMode && !here && !ChosenHere(request.slot))
        return g_remoteRequester ? g_remoteRequester(request, destinationSlot) : 0;
    if (preferNear && FindNear(request, destinationSlot))
        return 1;
    if (CheckFileSlotExists(request.slot) == kFileOk)
        return CopyToDestination(request.slot, destinationSlot) ? 1 : 0;
    if (FindOnOtherDrives(request, destinationSlot))
        return 1;
    if (!preferNear && FindNear(request, destinationSlot))
        return 1;
    return AskUser(request, destinationSlot) ? 1 : 0;
}
