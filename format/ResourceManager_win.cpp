// The resource manager's ties to the user: the samples stack.
#include <windows.h>

#include "core/ui/Alerts.h"
#include "format/ResFile.h"

namespace {

constexpr uint32_t kAlertNoSamples = 2292;

}  // namespace

int32_t OpenSamplesStack() {
    char path[kFileSpecPathSize] = {};
    GetFileSpecPath(kSlotProgram, sizeof path, path);
    SetPathFileName("Samples.stk", path, sizeof path);
    FileSpec samples = EmptyFileSpec();
    SetFileSpecPath(&samples, path);
    const uint32_t base = FileExists(samples.path) ? GetStackResourceBaseOf(&samples) : 0;
    const int32_t refNum = base ? OpenResFileAt(&samples, base) : 0;
    if (!refNum)
        ShowAlert(kAlertNoSamples);
    return refNum;
}
