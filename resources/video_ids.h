// Control ids of the video source, movie recording and camera dialogs (resources/video.rci).
#pragma once

// "DLG_VIDEOSRC": the checked radio's id less 1000 is the video source.
#define IDC_VIDSRC_DISK 1001
#define IDC_VIDSRC_DISC 1002
#define IDC_VIDSRC_LIVE 1003
#define IDC_VIDSRC_RECORD 1004
#define IDC_VIDSRC_OR 1005

// "VIDSRCDLG"
#define IDC_GFXSRC_DISK 1000
#define IDC_GFXSRC_VIDEO 1001
#define IDC_GFXSRC_CAMERA 1002
#define IDC_GFXSRC_TWAIN 1003

// "DLG_VIDEOCAP"
#define IDC_VIDCAP_MAXLABEL 1001
#define IDC_VIDCAP_MAXTIME 1002
#define IDC_VIDCAP_ICON 1003
#define IDC_VIDCAP_HINT 1004
#define IDC_VIDCAP_VIDEOOPT 1005
#define IDC_VIDCAP_SOUNDOPT 1006
#define IDC_VIDCAP_RECORD 1007
#define IDC_VIDCAP_TRY 1008
#define IDC_VIDCAP_PREVIEW 1009
#define IDC_VIDCAP_WINDOW 1010

// "CAMERADLG"
#define IDC_CAMERA_SCROLL 50
#define IDC_CAMERA_AREA 51
