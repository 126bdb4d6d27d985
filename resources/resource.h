// Resource and control ids of Sorvinta. Included by the resource script and
// by C++ code alike, so plain #defines only.
#pragma once

// Kinds, one prefix each: IDS_ strings, IDI_ icons, IDA_ accelerators, IDR_
// menus and their soft-key bar records, IDD_ dialogs, IDM_ menu and soft-key
// commands, IDC_ child controls. Each group in value order. The numbers are
// those of the device build and stay as they are; one number may serve two
// kinds (102 is a string, a menu and a dialog), since each kind has its own
// name space in the resource file.

// Strings
#define IDS_APP_TITLE    1    // "Sorvinta"
#define IDS_WINDOW_CLASS 2    // "SORVINTA"
#define IDS_SAVE         3    // "Сохранить"
#define IDS_SEND         4    // "Отправить"
#define IDS_CLOSE        102  // "Закрыть"
#define IDS_SECTION      103  // "Раздел"
#define IDS_MENU         104  // "Меню"

// Icon and accelerators
#define IDA_MAIN     2
#define IDI_SORVINTA 101

// Menus and their soft-key bar records (a bar record takes its menu's id)
#define IDR_MAIN         102  // pop-up 0 "Меню", pop-up 1 "Раздел"
#define IDR_ABOUT_BAR    139
#define IDR_LIST_CONTEXT 141
#define IDR_SETTINGS_BAR 142
#define IDR_SEND_BAR     143

// Dialogs
#define IDD_SETTINGS 102
#define IDD_ABOUT    105
#define IDD_MESSAGE  107
#define IDD_STATUS   108
#define IDD_MY_PAGE  109
#define IDD_MESSAGES 110  // the messages sent this run

// Commands: the dialogs' soft keys
#define IDM_BAR_CLOSE 110
#define IDM_BAR_SAVE  111
#define IDM_BAR_SEND  112

// Commands: main pop-up "Меню"
#define IDM_ABOUT    32782
#define IDM_EXIT     32783
#define IDM_MINIMISE 32784
#define IDM_SETTINGS 32785
#define IDM_MESSAGES 32786
#define IDM_STATUS   32787
#define IDM_FRIENDS  32788
#define IDM_MY_PAGE  32789
#define IDM_CONNECT  32790

// Commands: section pop-up "Раздел"
#define IDM_REFRESH         32806
#define IDM_ALL_ONLINE      32807
#define IDM_SECTION_MESSAGE 32808
#define IDM_CONTACTS        32809
#define IDM_DELETE_CONTACT  32828
#define IDM_CLEAR_LIST      32829

// Commands: context menu of the friends list
#define IDM_CTX_CLEAR      32818
#define IDM_CTX_REFRESH    32823
#define IDM_CTX_MESSAGE    32825
#define IDM_CTX_DELETE     32826
#define IDM_CTX_ONLINE_ALL 32827

// Commands: items of the dialog bar menus
#define IDM_ABOUT_BAR_CLOSE    32830
#define IDM_SETTINGS_BAR_CLOSE 32831
#define IDM_SETTINGS_BAR_SAVE  32832

// Commands: the main window's soft keys themselves, and Ctrl+A
#define IDM_SOFTKEY_SECTION 40000
#define IDM_SOFTKEY_MENU    40001
#define IDM_SELECT_ALL      40002

// Controls: the About box
#define IDC_ABOUT_ICON    201
#define IDC_ABOUT_VERSION 202
#define IDC_ABOUT_NOTICE  203

// Controls: the settings dialog's list
#define IDC_SETTINGS_LIST 1001

// Controls: main window children
#define IDC_STATUS_BAR    1026
#define IDC_CLOCK_LABEL   1027
#define IDC_FRIEND_LIST   1028
#define IDC_TRAFFIC_LABEL 1029

// Controls: message dialog, status dialog and the list of messages sent
#define IDC_MESSAGE_NAME  1030
#define IDC_MESSAGE_SEND  1031
#define IDC_MESSAGE_EDIT  1032
#define IDC_STATUS_EDIT   1033
#define IDC_STATUS_SET    1034
#define IDC_STATUS_LIST   1035
#define IDC_MESSAGES_LIST 1036

// Controls: "Моя страница", a caption and a value per row
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

// The captcha dialog: the picture, its code typed below it
#define IDD_CAPTCHA         115
#define IDC_CAPTCHA_LABEL   1151
#define IDC_CAPTCHA_PICTURE 1152
#define IDC_CAPTCHA_CODE    1153
