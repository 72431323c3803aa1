// Ids of dialogs, menus, bitmaps and other resources shared by the .rc scripts and the code.
#pragma once
