// Ids of the about box's resources.
#pragma once

#define IDS_ABOUT_NOTICE 1027
#define IDS_ABOUT_VERSION 1028
