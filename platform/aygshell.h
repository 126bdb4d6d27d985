// Pocket PC shell interfaces (aygshell) for builds that are not for the
// device: same names, records and constants as the device SDK, implemented by
// the stand-in in this folder. On a device build the real header is used.
#pragma once

#ifdef _WIN32_WCE
#include_next <aygshell.h>
#else

#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

// Soft-key bar
typedef struct tagSHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
} SHMENUBARINFO, *PSHMENUBARINFO;

#define SHCMBF_EMPTYBAR      0x0001
#define SHCMBF_HIDDEN        0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK       0x0008
#define SHCMBF_HMENU         0x0010

#define SHCMBM_SETSUBMENU (WM_USER + 400)
#define SHCMBM_GETSUBMENU (WM_USER + 401)
#define SHCMBM_GETMENU    (WM_USER + 402)

BOOL WINAPI SHCreateMenuBar(SHMENUBARINFO* info);

// Dialogs
typedef struct tagSHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
} SHINITDLGINFO, *PSHINITDLGINFO;

#define SHIDIM_FLAGS               0x0001
#define SHIDIF_DONEBUTTON          0x0001
#define SHIDIF_SIZEDLG             0x0002
#define SHIDIF_SIZEDLGFULLSCREEN   0x0004
#define SHIDIF_SIPDOWN             0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010
#define SHIDIF_EMPTYMENU           0x0020

BOOL WINAPI SHInitDialog(PSHINITDLGINFO info);

// Extended style of a dialog with an OK button in its caption.
#ifndef WS_EX_CAPTIONOKBTN
#define WS_EX_CAPTIONOKBTN 0x80000000L
#endif

// Tap and hold
typedef struct tagSHRGI {
    DWORD cbSize;
    HWND hwndClient;
    POINT ptDown;
    DWORD dwFlags;
} SHRGINFO, *PSHRGINFO;

#define SHRG_RETURNCMD    0x00000001
#define SHRG_NOTIFYPARENT 0x00000002
#define SHRG_LONGDELAY    0x00000008
#define SHRG_NOANIMATION  0x00000010
#define GN_CONTEXTMENU    1000

// Sent as WM_NOTIFY when SHRG_RETURNCMD is not given.
typedef struct tagNMRGINFO {
    NMHDR hdr;
    POINT ptAction;
    DWORD dwItemSpec;
} NMRGINFO, *PNMRGINFO;

DWORD WINAPI SHRecognizeGesture(SHRGINFO* info);

// Activation and setting changes
typedef struct {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
} SHACTIVATEINFO, *PSHACTIVATEINFO;

#define SETTINGCHANGE_RESET 0x3002

BOOL WINAPI SHHandleWMActivate(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info, DWORD flags);
BOOL WINAPI SHHandleWMSettingChange(HWND hwnd, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

// Soft input panel
typedef struct _SIPINFO {
    DWORD cbSize;
    DWORD fdwFlags;
    RECT rcVisibleDesktop;
    RECT rcSipRect;
    DWORD dwImDataSize;
    void* pvImData;
} SIPINFO;

#define SIPF_OFF    0x00000000
#define SIPF_ON     0x00000001
#define SIPF_DOCKED 0x00000002
#define SIPF_LOCKED 0x00000004
#ifndef SPI_SETSIPINFO
#define SPI_SETSIPINFO 224
#endif
#ifndef SPI_GETSIPINFO
#define SPI_GETSIPINFO 225
#endif

BOOL WINAPI SHSipInfo(UINT action, UINT param, PVOID data, UINT winIni);

BOOL WINAPI SHInitExtraControls(void);

#ifdef __cplusplus
}
#endif

#endif  // _WIN32_WCE
