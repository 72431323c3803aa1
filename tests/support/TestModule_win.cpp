#include "tests/support/TestModule_win.h"
#include "tests/support/ProcessNames_win.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/files/FileSlots.h"
#include "core/memory/Handles.h"
#include "format/ResFile.h"
#include "format/StackFile.h"

std::string UseTestModule(const std::string& logName, uint16_t id) {
    const char* build = std::getenv("LOOM_BUILD");
    if (!build)
        return {};
    std::string folder = build;
    for (char& c : folder)
        c = c == '/' ? '\\' : c;
    if (!InitFolderTableAt(("Z:" + folder + "\\nploom.dll").c_str(), nullptr))
        return {};
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + logName + "-" + ProcessTag() + ".txt";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("NBA_TEST_LOG", log.c_str());
    SetStackResFile(CreateScratchResFile());
    std::vector<uint8_t> info(600, 0);
    std::memcpy(info.data() + kNbaInfoFileName, "testaction.nba", 14);
    const uint8_t name[] = {4, 'T', 'e', 's', 't'};
    uint16_t given = id;
    if (AddResource(NewHandleFromBytes(info), 0, ResType("NBAs"), &given, name) != 0)
        return {};
    return log;
}
