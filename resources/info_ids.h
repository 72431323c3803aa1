// Controls of the information dialogs, the size and colours dialog, the progress window and
// the ready-made cards report.
#pragma once

#define INF_STACK_CARDS 100
#define INF_STACK_MEMORY 101
#define INF_STACK_DISK 102
#define INF_STACK_AVAILABLE 103
#define INF_STACK_COLORS 104
#define INF_STACK_WIDTH 105
#define INF_STACK_HEIGHT 106
#define INF_STACK_ARRIVING 107
#define INF_STACK_LEAVING 108
#define INF_STACK_CLICKING 109
#define INF_STACK_CHANGE 110
#define INF_STACK_CURSOR 111

#define INF_CARD_BACKGROUND 300
#define INF_CARD_SIZE 400
#define INF_CARD_ID 402
#define INF_CARD_MARKED 411
#define INF_CARD_LOCK 412
#define INF_CARD_GROUP 413
#define INF_CARD_ARRIVING 414
#define INF_CARD_LEAVING 415
#define INF_CARD_CLICKING 416
#define INF_CARD_CURSOR 417
#define INF_CARD_NAME 420

#define INF_SIZE_PRESETS 210
#define INF_SIZE_WIDTH 220
#define INF_SIZE_HEIGHT 221
#define INF_SIZE_COLORS 222
#define INF_SIZE_DEFAULT 1011

#define INF_PROGRESS_TEXT 500
#define RMCOUNT_TEXT 9710
