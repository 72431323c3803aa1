// Controls of the icon and cursor chooser and of the object features dialog; the ids are the
// dialogs' own and the code names them through these.
#pragma once

#define ICN_SAMPLES 51
#define ICN_IN_USE 52
#define ICN_DISK 53
#define ICN_GRID 54
#define ICN_SOURCE_BOX 100

#define IFE_TYPE 50
#define IFE_SPACE 51
#define IFE_OWNER 52
#define IFE_ID 53
#define IFE_POSITION 54
#define IFE_LOCKED 55
#define IFE_GROUP 56
#define IFE_HIDDEN 57
#define IFE_TRANSPARENT 58
#define IFE_NO_CLICK 59
#define IFE_DRAGGABLE 60
#define IFE_DROP_OFF 61
#define IFE_CURSOR 62
