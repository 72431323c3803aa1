// Ids of the navigation area's resources.
#pragma once

// "JUMP_TO_CARD"
#define IDC_JUMP_CARD 300
