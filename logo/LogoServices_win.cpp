// MINIMAL LoomLogo services (see Logo.h): no event handler exists, so none consumes a message.
#include "logo/Logo.h"

int LogoCardEvent(HWND, int, UINT, WPARAM, LPARAM) { return 0; }
void OpenLogoRunBox(HWND) {}
