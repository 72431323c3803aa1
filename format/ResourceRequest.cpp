// Storing stack resources through requests. A resource is never overwritten in place: the
// same data under the same type and id is stored once, changed data takes a new id that goes
// back into the request, and everything new stays in memory until the next save.
#include <cstring>

#include "format/FormatUpcalls.h"
#include "format/ResFileAccess.h"

namespace {

bool g_reportErrors = true;

void Report(int32_t code) {
    if (g_reportErrors)
        GetFormatUpcalls().reportResourceError(code);
}

// The live entry (type, id) of a file: its index, or -1.
int FindLive(std::span<const ResEntry> entries, uint32_t type, uint16_t id) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (!(entries[i].attributes & kResDeleted) && entries[i].type == type && entries[i].id == id)
            return static_cast<int>(i);
    return -1;
}

bool SameBytes(Handle a, Handle b) { return EqualHandles(a, b) != 0; }

// Whether the entry holds exactly the data of `data`, reading it from the file when needed.
bool EntryHolds(Handle resFile, int index, Handle data) {
    ResFileAccess access(resFile);
    ResEntry& e = access.entries()[index];
    // Raw data is never equal to converted data: the request then takes a new id.
    if (e.raw || e.dataLength != GetHandleSize(data))
        return false;
    if (e.data && GetHandleSize(e.data) == e.dataLength)
        return SameBytes(e.data, data);
    Handle stored = ReadResourceData(*access.file(), e);
    if (!stored)
        return false;
    const bool same = SameBytes(stored, data);
    DisposeHandle(e.data);
    e.data = stored;
    return same;
}

// AddResource on the stack's file, whichever file is current.
int AddToStackFile(Handle stackFile, ResRequest& request) {
    const Handle previous = CurrentResFileHandle();
    SetCurrentResFileHandle(stackFile);
    const int err = AddResource(request.data, request.attributes, request.type, &request.id, request.name);
    SetCurrentResFileHandle(previous ? previous : stackFile);
    return err;
}

}  // namespace

void SetResourceErrorReporting(bool report) { g_reportErrors = report; }

int WriteStackResource(ResRequest* request) {
    if (!request)
        return 0;
    ResRequest& r = *request;
    if (!(r.flags & kResRequestCarryOut))
        return 1;
    const bool keepFlags = (r.flags & kResRequestCopyData) != 0;
    if (keepFlags) {
        Handle copy = r.data;
        if (!IsValidHandle(copy) || HandToHand(&copy) != 0) {
            Report(kFileMissing);
            return 0;
        }
        r.data = copy;  // the caller keeps its own
    }
    int result = 1;
    if (!GetStackResFile()) {
        const int32_t scratch = CreateScratchResFile();
        if (!scratch) {
            if (keepFlags)
                DisposeHandleAndClear(&r.data);
            Report(kFileMissing);
            return 0;
        }
        SetStackResFile(scratch);
    }
    const Handle stackFile = FindResFile(GetStackResFile());
    bool add = true;
    int existing;
    {
        ResFileAccess access(stackFile);
        existing = FindLive(access.entries(), r.type, r.id);
    }
    if (existing >= 0 && r.id != 0) {
        if (r.flags & kResRequestReplace) {
            ResFileAccess access(stackFile);
            ResEntry& e = access.entries()[existing];
            e.attributes |= kResDeleted;
            DisposeHandleAndClear(&e.data);
        } else if (r.flags & kResRequestRenameOnly) {
            ResFileAccess access(stackFile);
            std::memset(access.entries()[existing].name, 0, kResNameSize);
            const uint8_t n = r.name[0] < kResNameSize ? r.name[0] : kResNameSize - 1;
            access.entries()[existing].name[0] = n;
            std::memcpy(access.entries()[existing].name + 1, r.name + 1, n);
            if (keepFlags)
                DisposeHandleAndClear(&r.data);
            add = false;
        } else if (r.data && EntryHolds(stackFile, existing, r.data)) {
            // Stored already: the request's data is not needed.
            DisposeHandleAndClear(&r.data);
            add = false;
        } else {
            const uint16_t fresh = NextUniqueResId(stackFile);
            if (fresh == 0) {
                result = 0;
                add = false;
                DisposeHandleAndClear(&r.data);
                Report(kFileMissing);
            } else {
                r.id = fresh;
            }
        }
    }
    if (add) {
        const int err = AddToStackFile(stackFile, r);
        if (err != kFileOk) {
            DisposeHandleAndClear(&r.data);
            Report(err);
            result = 0;
        }
    }
    if (!keepFlags)
        r.flags = 0;
    return result;
}

StackResourceMark MarkStackResources() {
    StackResourceMark mark;
    mark.refNum = GetStackResFile();
    ResFileAccess access(FindResFile(mark.refNum));
    if (mark.refNum && access) {
        mark.count = access.file()->count;
        mark.nextId = access.file()->nextId;
    }
    return mark;
}

void DropStackResourcesSince(const StackResourceMark& mark) {
    if (!mark.refNum || mark.refNum != GetStackResFile())
        return;
    ResFileAccess access(FindResFile(mark.refNum));
    if (!access || access.file()->count < mark.count)
        return;
    // Entries are only ever added at the end: those past the mark are the dialog's.
    for (uint32_t i = mark.count; i < access.file()->count; ++i) {
        ResEntry& e = access.entries()[i];
        e.attributes |= kResDeleted;
        DisposeHandleAndClear(&e.data);
    }
    access.file()->nextId = mark.nextId;
}
