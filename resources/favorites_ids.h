// Ids of the navigation and shortcuts palettes' resources.
#pragma once

// Templates: the shortcuts palette, the navigation palette, the favourites editor.
#define IDD_SHORTCUTS 101
#define IDD_NAVIGATION 102
#define IDD_EDIT_FAVORITES 103

// Navigation palette: buttons 1000-1005, the card and favourites lists.
#define IDC_NAV_PREVIOUS 1000
#define IDC_NAV_NEXT 1001
#define IDC_NAV_FIRST 1002
#define IDC_NAV_LAST 1003
#define IDC_NAV_BACK 1004
#define IDC_NAV_HOME 1005
#define IDC_NAV_CARDS 1006
#define IDC_NAV_FAVORITES 1007

// Favourites editor.
#define IDC_FAV_LIST 1000
#define IDC_FAV_DELETE 1001

// Shortcuts palette: buttons 1000-1010 in the order of their table.
#define IDC_SHORTCUT_FIRST 1000
#define IDC_SHORTCUT_LAST 1010

// Strings.
#define IDS_FAV_CARD_ID 11013
#define IDS_FAV_ADD 11014
#define IDS_FAV_EDIT 11015
#define IDS_FAV_SEPARATOR 11016
