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
#define ACT_FRIENDS_MUTUAL "friends_mutual"

// "Моя страница"
constexpr wchar_t TEXT_MY_PAGE_EMAIL[] = L"E-mail:";
constexpr wchar_t TEXT_MY_PAGE_MEMBER[] = L"Номер:";
constexpr wchar_t TEXT_MY_PAGE_SESSION[] = L"Вход:";
constexpr wchar_t TEXT_MY_PAGE_STATUS[] = L"Статус:";
constexpr wchar_t TEXT_MY_PAGE_TRAFFIC[] = L"Трафик:";
constexpr wchar_t TEXT_MY_PAGE_LOGGED_IN[] = L"выполнен";
constexpr wchar_t TEXT_MY_PAGE_LOGGED_OUT[] = L"не выполнен";
constexpr wchar_t TEXT_MY_PAGE_NONE[] = L"нет";
// Received, then sent, as the traffic label shows them.
constexpr wchar_t TEXT_MY_PAGE_TRAFFIC_FORMAT[] = L"принято %.1f кб, отправлено %.1f кб";
