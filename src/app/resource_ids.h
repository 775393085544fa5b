// Resource, control, menu and timer ids of the main window. Plain macros,
// because the resource compiler reads this file too.
#pragma once

#define IDI_IDLE 200
#define IDI_RUNNING 201
#define IDR_MAINMENU 210
#define IDR_TRAY_RESTORE 211
#define IDR_TRAY_MINIMIZE 212

#define IDC_QUERY_DATE 220
#define IDC_QUERY_IP 221
#define IDC_QUERY_STATUS 222
#define IDC_CHECKIP 223
#define IDC_DYNDNS 224
#define IDC_CLOOP 225
#define IDC_TOUT 226
#define IDC_DEBUG 227
#define IDC_NAME 228
#define IDC_PASS 229
#define IDC_DOMAIN 230
#define IDC_START 240
#define IDC_STOP 241
#define IDC_MANUAL 242
#define IDC_EDIT 243
#define IDC_SAVE 244
#define IDC_RELOAD 245
#define IDC_STATUSBAR 250

#define IDT_COUNTDOWN 260
#define IDT_AUTOSTART 261
#define IDT_MINIMIZE 262
#define IDT_GUARD 263

#define IDM_RUN_WITH_OS 300
#define IDM_CHECK_LAST_IP 301
#define IDM_SECURE_CONNECT 302
#define IDM_EXIT 303
#define IDM_COMMAND 304
#define IDM_ABOUT 305
#define IDM_SECURE_CHECK_IP 306
#define IDM_TRAY_EXIT 310
#define IDM_TRAY_TOGGLE 311
