// A library with the module resources but without "NBAMain".
#include <windows.h>

extern "C" __declspec(dllexport) int NotTheEntry() { return 0; }
