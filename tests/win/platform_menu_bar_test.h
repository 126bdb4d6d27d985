// Ids of the soft-key bar the stand-in's own tests use: a menu of two pop-ups
// and its bar record, apart from the program's (platform_menu_bar_test.rc).
#pragma once

#define IDR_TEST_BAR         900
#define IDS_TEST_LEFT        900
#define IDS_TEST_RIGHT       901
#define IDM_TEST_LEFT_KEY    910
#define IDM_TEST_RIGHT_KEY   911
#define IDM_TEST_LEFT_FIRST  920
#define IDM_TEST_LEFT_SECOND 921
#define IDM_TEST_LEFT_LAST   922
#define IDM_TEST_RIGHT_FIRST 930
#define IDM_TEST_RIGHT_AFTER 931  // below a separator
#define IDM_TEST_RIGHT_QUIT  932
