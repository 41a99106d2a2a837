// Resource and control ids shared by amicord.rc and the code. Plain macros so
// that the resource compiler can read this file too.
#pragma once

// Dialog templates
#define IDD_MAIN 101
#define IDD_GROUP 105
#define IDD_CONTACT 106
#define IDD_GROUP_ENTRY 107
#define IDD_OPTIONS 114
#define IDD_RESTORE_BACKUP 115
#define IDD_IMPORT 130

// Icons
#define IDI_APP 102
#define IDI_ADD_GROUP 103
#define IDI_OPTIONS 104
#define IDI_ADD_CONTACT 108
#define IDI_STATUS_RED 109
#define IDI_STATUS_ORANGE 110
#define IDI_STATUS_GREEN 111
// A snoozed contact's ball.
#define IDI_STATUS_GREY 150
// The tray icon with an orange ball (someone due soon) and a red one (someone due today or overdue).
#define IDI_TRAY_SOON 160
#define IDI_TRAY_URGENT 161

// Bitmaps: strips of 16 x 16 cells on magenta for masked image lists
#define IDB_MENU 112
#define IDB_CONTACT_MENU 113
// The same strips at 20, 24 and 32 pixels, for 125, 150 and 200 % scaling
#define IDB_MENU_20 1121
#define IDB_MENU_24 1122
#define IDB_MENU_32 1123
#define IDB_CONTACT_MENU_20 1131
#define IDB_CONTACT_MENU_24 1132
#define IDB_CONTACT_MENU_32 1133

// Cells of IDB_MENU, in strip order
#define MENU_IMAGE_EXIT 0
#define MENU_IMAGE_ADD_GROUP 1
#define MENU_IMAGE_ADD_CONTACT 2
#define MENU_IMAGE_DELETE 3
#define MENU_IMAGE_SHOW_WINDOW 4
#define MENU_IMAGE_EDIT 5

// Cells of IDB_CONTACT_MENU
#define CONTACT_MENU_IMAGE_OPEN 0
#define CONTACT_MENU_IMAGE_DELETE 1

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Main window (IDD_MAIN)
#define IDC_ADD_CONTACT 1001
#define IDC_ADD_GROUP 1002
#define IDC_OPTIONS 1003
#define IDC_TABS 1013
#define IDC_HELP_LINK 1019  // IDC_HELP is taken by the help cursor
#define IDC_FIND 1030

// Group panel (IDD_GROUP_ENTRY)
#define IDC_CONTACT_LIST 1014
#define IDC_SORT 1022

// Group and contact dialogs (IDD_GROUP, IDD_CONTACT)
#define IDC_BROWSE 3
#define IDC_GROUP_NAME 1004
#define IDC_INTERVAL_COUNT 1005
#define IDC_INTERVAL_UNIT 1006
#define IDC_NAME 1007
#define IDC_GROUP 1008
#define IDC_NOTES 1010
#define IDC_LAST_CONTACTED 1011
#define IDC_IMAGE 1012
// The contact dialog's phones, e-mail addresses and dates
#define IDC_DETAILS 1600
#define IDC_DETAIL_KIND 1601
#define IDC_DETAIL_LABEL 1602
#define IDC_DETAIL_VALUE_LABEL 1603
#define IDC_DETAIL_VALUE 1604
#define IDC_DETAIL_DAY_LABEL 1605
#define IDC_DETAIL_DAY 1606
#define IDC_DETAIL_MONTH_LABEL 1607
#define IDC_DETAIL_MONTH 1608
#define IDC_DETAIL_YEAR_LABEL 1609
#define IDC_DETAIL_YEAR 1610
#define IDC_DETAIL_ADD 1611
#define IDC_DETAIL_CHANGE 1612
#define IDC_DETAIL_REMOVE 1613
#define IDC_DETAIL_HINT 1614
#define IDC_DETAIL_FIRST IDC_DETAILS
#define IDC_DETAIL_LAST IDC_DETAIL_HINT

// Options dialog (IDD_OPTIONS)
#define IDC_WARN_PERCENT 1015
#define IDC_AUTO_START 1016
#define IDC_SHOW_LAST_CONTACTED 1017
#define IDC_WARN_DAYS 1018
#define IDC_MINIMIZE_TO_TRAY 1023
#define IDC_REMIND 1025
#define IDC_REMIND_AT_LABEL 1026
#define IDC_REMIND_AT 1027
#define IDC_DATE_LEAD_LABEL 1028
#define IDC_DATE_LEAD 1029
#define IDC_ADDRESS_BOOK_SYNC 1031

// The address book sync's settings (IDD_ADDRESS_BOOK_SYNC)
#define IDD_ADDRESS_BOOK_SYNC 156
#define IDC_SYNC_SERVER 1140
#define IDC_SYNC_USER 1141
#define IDC_SYNC_PASSWORD 1142
#define IDC_SYNC_PASSWORD_NOTE 1143
#define IDC_SYNC_HINT 1144
#define IDC_SYNC_FIND 1145
#define IDC_SYNC_FIND_STATUS 1146
#define IDC_SYNC_BOOK 1147
#define IDC_SYNC_GROUPS 1148
#define IDC_SYNC_LAST 1149
#define IDC_SYNC_NOW 1150
#define IDC_SYNC_REMOVE 1151

// Restore a backup (IDD_RESTORE_BACKUP)
#define IDC_BACKUP_LIST 1024

// The journal's dialogs (IDD_LOG_CONTACT, IDD_HISTORY, IDD_SNOOZE_DATE)
#define IDD_LOG_CONTACT 151
#define IDD_HISTORY 152
#define IDD_SNOOZE_DATE 153
#define IDD_UPCOMING 154
#define IDC_UPCOMING_LIST 1520
#define IDC_UPCOMING_EMPTY 1521
// What the list shows before there is anyone (IDD_EMPTY_STATE)
#define IDD_EMPTY_STATE 155
#define IDC_EMPTY_TITLE 1530
#define IDC_EMPTY_IMPORT 1531
#define IDC_EMPTY_ADD 1532
#define IDC_EMPTY_FROM 1533
#define IDC_EMPTY_DROP 1534
#define IDC_LOG_DATE 1501
#define IDC_LOG_TIME 1502
#define IDC_LOG_TEXT 1503
#define IDC_HISTORY_LIST 1504
#define IDC_HISTORY_COUNT 1505
#define IDC_HISTORY_DELETE 1506
#define IDC_SNOOZE_DATE 1507

// Import preview (IDD_IMPORT)
#define IDC_IMPORT_PEOPLE 1100
#define IDC_IMPORT_PROBLEMS 1101
#define IDC_IMPORT_GROUP 1102
#define IDC_IMPORT_COUNT 1103
#define IDC_IMPORT_UNIT 1104

// Menu commands of the main window and the tray menu; the main window takes
// the whole block, the ends of which do nothing.
#define ID_MENU_FIRST 1260
#define ID_EXIT 1261
#define ID_ADD_GROUP 1262
#define ID_ADD_CONTACT 1263
#define ID_EDIT_GROUP 1264
#define ID_DELETE_GROUP 1265
#define ID_SHOW_WINDOW 1266
#define ID_RESTORE_BACKUP 1267
#define ID_IMPORT_CONTACTS 1280
#define ID_EXPORT_CONTACTS 1281
#define ID_UPCOMING_DATES 1282
#define ID_SYNC_NOW 1285
#define ID_MENU_LAST 1290

// System menu item
#define ID_ABOUT 0xFF1
// The same command as ID_RESTORE_BACKUP, in the system menu's range: the system
// keeps the low four bits of a system command for itself.
#define ID_SYSTEM_RESTORE_BACKUP 0xFE1
#define ID_SYSTEM_IMPORT_CONTACTS 0xFB1
#define ID_SYSTEM_EXPORT_CONTACTS 0xFA1
#define ID_SYSTEM_UPCOMING_DATES 0xF91
