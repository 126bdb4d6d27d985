// Every text the application shell shows, in one place. No windows.h.
#pragma once

// The status bar before any login; a logout without a login says "еще".
constexpr wchar_t TEXT_NOT_LOGGED_IN_AT_START[] = L"Вы не авторизованы";
constexpr wchar_t TEXT_TRAFFIC_START[] = L"0/0 кб";
// Captions of the connect item, which follows the session.
constexpr wchar_t TEXT_CONNECT[] = L"Подключиться";
constexpr wchar_t TEXT_DISCONNECT[] = L"Отключиться";

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
// No-break spaces: a line that has to wrap does so before "отправлено", never
// between a number and its "кб".
constexpr wchar_t TEXT_MY_PAGE_TRAFFIC_FORMAT[] = L"принято %.1f\u00A0кб, отправлено %.1f\u00A0кб";

// The captcha dialog
constexpr wchar_t TEXT_CAPTCHA_PROMPT[] = L"Введите код с картинки:";
