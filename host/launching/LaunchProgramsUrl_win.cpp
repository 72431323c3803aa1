// Opening addresses through the shell, and the one shell call every launch goes through.
#include "host/launching/LaunchPrograms.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "core/files/FileSlots.h"
#include "core/system/PluginModule.h"
#include "host/launching/LaunchConsent.h"

namespace {

constexpr size_t kMaxAddressText = 1024;
ShellOpenObserver g_observer = nullptr;

// The working folder of an address: the stack's folder, except for a stack from the web, whose
// folder holds what was downloaded beside it (a bare name must not find those).
std::string AddressFolder() {
    if (IsStackFromWeb()) {
        char system[MAX_PATH + 1] = {};
        const UINT length = GetSystemDirectoryA(system, sizeof system);
        return length > 0 && length < sizeof system ? std::string(system, length) : std::string();
    }
    char folder[kFileSpecPathSize] = {};
    GetFileSpecFolder(kSlotCurrentStack, folder, sizeof folder);
    return folder;
}

}  // namespace

void SetShellOpenObserver(ShellOpenObserver observer) { g_observer = observer; }

intptr_t ShellOpen(const char* file, const char* parameters, const char* folder) {
    const auto result = reinterpret_cast<intptr_t>(ShellExecuteA(GetMainWindow(), "open", file,
                                                                 parameters && parameters[0] ? parameters : nullptr,
                                                                 folder && folder[0] ? folder : nullptr, SW_SHOWNORMAL));
    if (g_observer)
        g_observer(file, parameters, folder, result);
    return result;
}

bool OpenUrl(const char* address) {
    if (!address || !address[0])
        return false;
    const std::string text(address, strnlen(address, kMaxAddressText));
    if (!IsPlainWebAddress(text)) {
        // Other schemes, paths and bare names may start programs: the same rules as a launch.
        if (!IsLaunchAllowed())
            return false;
        const std::string path = LocalPathFromAddress(text);
        if (IsShellRunType(path) && IsDownloadedFile(path.c_str()))
            return false;
        if (!AskLaunchConsent(std::string(), text))
            return false;
    }
    const std::string folder = AddressFolder();
    const intptr_t result = ShellOpen(text.c_str(), nullptr, folder.c_str());
    if (result >= 32)
        return result > 32;
    // No handler for the address: the program that opens web pages, from the profile.
    char value[257] = {};
    GetProfileStringA("Extensions", "htm", "none", value, sizeof value);
    const std::string program = ProgramFromExtensionsValue(value);
    if (program.empty())
        return false;
    const std::string parameters = QuoteLaunchParameter(text);
    return ShellOpen(program.c_str(), parameters.c_str(), "c:\\") > 32;
}

bool OpenUrlString(const char* text) {
    if (!text)
        return false;
    const std::string address(AddressFromText(std::string_view(text, strnlen(text, kMaxAddressText))));
    return OpenUrl(address.c_str());
}
