// File services that only the system can answer: free space (connecting a network share on
// the 95/98 family), code libraries from a folder slot, and opening a stack file for saving.
#include <windows.h>
#include <winnetwk.h>

#include <cstring>
#include <string>

#include "core/files/FileLayer.h"
#include "core/system/WindowsFamily.h"
#include "core/ui/Alerts.h"
#include "core/ui/DisplayUtils.h"

namespace {

// A share connected to a free drive letter for as long as the space is read.
class MappedShare {
public:
    MappedShare() = default;
    ~MappedShare() {
        if (letter_)
            WNetCancelConnection2A(local_, 0, TRUE);
    }
    MappedShare(const MappedShare&) = delete;
    MappedShare& operator=(const MappedShare&) = delete;

    // The share is the path without its final backslash. False when no letter is free or the
    // connection fails.
    bool Connect(std::string share) {
        const DWORD used = GetLogicalDrives();
        char letter = 0;
        for (int i = 0; i < 26 && !letter; ++i)
            if (!(used & (1u << i)))
                letter = static_cast<char>('A' + i);
        if (!letter)
            return false;
        char user[51] = {};
        DWORD userSize = 50;
        WNetGetUserA(nullptr, user, &userSize);
        local_[0] = letter;
        local_[1] = ':';
        local_[2] = 0;
        NETRESOURCEA resource = {};
        resource.dwType = RESOURCETYPE_DISK;
        resource.lpLocalName = local_;
        resource.lpRemoteName = share.data();
        if (WNetAddConnection2A(&resource, nullptr, user[0] ? user : nullptr, 0) != NO_ERROR)
            return false;
        letter_ = letter;
        return true;
    }
    std::string Root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_ = 0;
    char local_[3] = {};
};

}  // namespace

int CheckDriveSpace(const char* path, uint32_t* freeBytes) {
    if (freeBytes)
        *freeBytes = 0;
    if (!path || !path[0])
        return kFileMissing;
    MappedShare share;
    // The folder itself: a folder that is a mounted volume, or under a quota, has its own room.
    std::string asked = FolderOfPath(path);
    if (path[0] == '\\' && GetWindowsFamily() == kWindowsFamily9x) {
        char root[MAX_PATH] = {};
        DriveSpaceRoot(path, root, sizeof root);
        std::string name = root;
        if (name.empty())
            return kFileMissing;
        name.pop_back();  // without the final backslash
        if (!share.Connect(name))
            return kFileMissing;
        asked = share.Root();
    }
    if (asked.empty() || asked.size() >= MAX_PATH)
        return kFileMissing;
    // The 64-bit call: a product of cluster counts wraps above 4 GB.
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = GetDiskFreeSpaceExA(asked.c_str(), &available, &total, &totalFree);
    SetErrorMode(previous);
    if (!ok)
        return kFileMissing;
    if (freeBytes)
        *freeBytes = ClampFreeBytes(available.QuadPart);
    return kFileOk;
}

void* LoadLibraryFromSlot(const char* name, int slot) {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(slot, sizeof path, path);
    std::string full = path;
    if (name)
        full += name;
    if (full.empty() || full.size() >= MAX_PATH)
        return nullptr;
    const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(full.c_str());
    SetErrorMode(previous);
    return module;
}

bool OpenStackForSave(int slot, uint32_t /*newSize*/, FileRef* file) {
    if (!file)
        return false;
    *file = kNoFile;
    uint32_t size = 0;
    int readOnly = 0;
    int err = GetFileSizeAndAccess(slot, &size, &readOnly);
    if (err != kFileOk || readOnly)
        err = kFileNotWritable;
    else
        err = OpenFileSlot(slot, kOpenReadWrite, file);
    if (err != kFileOk) {
        ShowErrorMessage(err);
        return false;
    }
    return true;
}
