// Ids of the animation frame source (resources/animsource.rci).
#pragma once

// "ANIMSOURCE": the two picture places, their choices as results, the two shape buttons.
#define IDC_ANIMSRC_SCREEN 1006
#define IDC_ANIMSRC_CLIPART 1007
#define IDC_ANIMSRC_RECT 1047
#define IDC_ANIMSRC_LASSO 1048
#define IDR_ANIMSRC_DISK 1000
#define IDR_ANIMSRC_CARD 1001

#define IDS_ALERT_NO_CARD_AREA 2338
#define IDS_ALERT_UNREADABLE_PICTURE 2342
