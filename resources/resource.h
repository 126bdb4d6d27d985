// Resource and control ids of Sorvinta. Included by the resource script and
// by C++ code alike, so plain #defines only.
#pragma once

// Strings
#define IDS_APP_TITLE    1    // "Sorvinta"
#define IDS_WINDOW_CLASS 2    // "SORVINTA"
#define IDS_SAVE         3    // "Сохранить"
#define IDS_SEND         4    // "Отправить"
#define IDS_CLOSE        102  // "Закрыть"
#define IDS_SECTION      103  // "Раздел"
#define IDS_MENU         104  // "Меню"

// Icon and accelerators
#define IDI_SORVINTA 101
#define IDA_MAIN     2

// Menus and their soft-key bar records (same ids)
#define IDM_MAIN         102  // pop-up 0 "Меню", pop-up 1 "Раздел"
#define IDM_ABOUT_BAR    139
#define IDM_LIST_CONTEXT 141
#define IDM_SETTINGS_BAR 142
#define IDM_SEND_BAR     143

// Dialogs
#define IDD_SETTINGS 102
#define IDD_ABOUT    105
#define IDD_MESSAGE  107
#define IDD_STATUS   108
#define IDD_MESSAGES 110  // the messages sent this run

// About box controls
#define IDC_ABOUT_ICON    201
#define IDC_ABOUT_VERSION 202
#define IDC_ABOUT_NOTICE  203

// Soft-key commands of the dialog bars
#define IDC_BAR_CLOSE 110
#define IDC_BAR_SAVE  111
#define IDC_BAR_SEND  112

// Commands of the main window's soft keys (the keys themselves)
#define IDC_SOFTKEY_SECTION 40000
#define IDC_SOFTKEY_MENU    40001
#define IDC_SELECT_ALL      40002  // Ctrl+A

// Main pop-up "Меню"
#define IDC_CONNECT  32790
#define IDC_MY_PAGE  32789
#define IDC_FRIENDS  32788
#define IDC_STATUS   32787
#define IDC_MESSAGES 32786
#define IDC_SETTINGS 32785
#define IDC_MINIMISE 32784
#define IDC_ABOUT    32782
#define IDC_EXIT     32783

// Section pop-up "Раздел"
#define IDC_REFRESH         32806
#define IDC_ALL_ONLINE      32807
#define IDC_SECTION_MESSAGE 32808
#define IDC_CONTACTS        32809
#define IDC_DELETE_CONTACT  32828
#define IDC_CLEAR_LIST      32829

// Context menu of the friends list
#define IDC_CTX_REFRESH    32823
#define IDC_CTX_ONLINE_ALL 32827
#define IDC_CTX_MESSAGE    32825
#define IDC_CTX_CLEAR      32818
#define IDC_CTX_DELETE     32826

// Items of the dialog bar menus
#define IDC_ABOUT_BAR_CLOSE    32830
#define IDC_SETTINGS_BAR_CLOSE 32831
#define IDC_SETTINGS_BAR_SAVE  32832

// Main window children
#define IDC_STATUS_BAR    1026
#define IDC_CLOCK_LABEL   1027
#define IDC_FRIEND_LIST   1028
#define IDC_TRAFFIC_LABEL 1029

// Message dialog, status dialog and the list of messages sent
#define IDC_MESSAGE_NAME  1030
#define IDC_MESSAGE_SEND  1031
#define IDC_MESSAGE_EDIT  1032
#define IDC_STATUS_EDIT   1033
#define IDC_STATUS_SET    1034
#define IDC_STATUS_LIST   1035
#define IDC_MESSAGES_LIST 1036

// Settings dialog list
#define IDC_SETTINGS_LIST 1001

// Main window timer and notification icon
#define IDT_CLOCK       1025
#define CLOCK_PERIOD_MS 60000
#define ID_NOTIFY_ICON  5000
#define WM_NOTIFY_ICON  3025

// "Моя страница" dialog: a caption and a value per row
#define IDD_MY_PAGE               109
#define IDC_MY_PAGE_EMAIL_LABEL   1101
#define IDC_MY_PAGE_EMAIL         1102
#define IDC_MY_PAGE_MEMBER_LABEL  1103
#define IDC_MY_PAGE_MEMBER        1104
#define IDC_MY_PAGE_SESSION_LABEL 1105
#define IDC_MY_PAGE_SESSION       1106
#define IDC_MY_PAGE_STATUS_LABEL  1107
#define IDC_MY_PAGE_STATUS        1108
#define IDC_MY_PAGE_TRAFFIC_LABEL 1109
#define IDC_MY_PAGE_TRAFFIC       1110
