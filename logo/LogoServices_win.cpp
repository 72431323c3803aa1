// MINIMAL LoomLogo services (see Logo.h): no event handler exists, so none consumes a message,
// and an action's script is neither run nor edited.
#include "logo/Logo.h"

int LogoCardEvent(HWND, int, UINT, WPARAM, LPARAM) { return 0; }
void OpenLogoRunBox(HWND) {}
int RunLogoAction(HWND, Handle, int, Rect32*) { return 0; }
