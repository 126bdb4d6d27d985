// Every text the application shell shows, in one place.
#pragma once

#define TEXT_NOT_LOGGED_IN L"Вы не авторизованы"
#define TEXT_TRAFFIC_START L"0/0 кб"
#define TEXT_NO_CONTACT    L"Ни один контакт не выделен"
#define TEXT_CONNECT       L"Подключиться"
#define TEXT_DISCONNECT    L"Отключиться"

// List kinds a refresh asks the friend-list worker for.
#define ACT_FRIENDS_ONLINE "friends_online"
#define ACT_FRIENDS        "friends"
