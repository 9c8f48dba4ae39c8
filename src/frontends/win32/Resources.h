// Numbers of the program file's resources and of the windows' controls.
#pragma once

// Resources (windows/rotaline-win32.rc). Icon 1 is the program's own.
#define IDI_ROTALINE 1
#define IDI_ARROW_UP 2
#define IDI_ARROW_DOWN 3
#define IDB_ABOUT 10
#define IDR_CHOOSER_BACKGROUND 20
#define IDR_EDITOR_BACKGROUND 21

// Controls. None is 1 or 2: a window that passes its keys through IsDialogMessage gets IDOK for
// Enter and IDCANCEL for Esc, and no button may answer to those.
#define IDC_LSTMODLIST 101
#define IDC_CHOOSER_CLOSE 102
#define IDC_CHOOSER_LABEL1 103
#define IDC_EDIT 104
#define IDC_CHOOSER_IMAGE1 105

#define IDC_LSTBSP 201
#define IDC_LSTMAP 202
#define IDC_MOVE 203
#define IDC_REMOVE 204
#define IDC_UP 205
#define IDC_DOWN 206
#define IDC_LABEL1 207
#define IDC_LABEL2 208
#define IDC_RANDOM 209
#define IDC_SAVE 210
#define IDC_CLOSE 211
#define IDC_URL 212
#define IDC_IMAGE1 213
