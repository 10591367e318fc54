/* Resource ids of Clipwell. Plain defines, because the resource compiler
   reads this header too. */
#pragma once

#define IDD_ABOUTBOX             100
#define IDS_ABOUTBOX             101
#define IDD_MAIN                 102
#define IDP_SOCKETS_INIT_FAILED  103
#define IDS_HELP                 104
#define IDR_MAINFRAME            128

/* A file dropped or named on the command line that gives no addresses:
   %1 the file's path; in "unreadable", %2 the system's text of the error. */
#define IDS_ADDRESS_FILE_UNREADABLE 140
#define IDS_ADDRESS_FILE_FOLDER     141
#define IDS_ADDRESS_FILE_TOO_LARGE  142
#define IDS_SHORTCUT_NO_ADDRESS     143

#define IDC_URL                  1000
#define IDC_PROGRESS             1001
#define IDC_GRAB                 1002
#define IDC_STATUS               1003

/* The Help and About items of the system menu: below 0xF000, low four
   bits clear. */
#define IDM_ABOUTBOX             0x0010
#define IDM_HELP                 0x0020

#ifndef IDC_STATIC
#define IDC_STATIC               (-1)
#endif
