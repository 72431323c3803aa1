// Strings of undo and the clipboard (resources/undo.rci).
#pragma once

#define IDS_UNDO 2701
#define IDS_UNDO_SHORTCUT 2714
#define IDS_NOUN_TEXT_OBJECT 4042
#define IDS_NOUN_CARD 4045
#define IDA_COMMERCIAL_NBA 2297
