// Every status-bar text of the network layer, in one place. No windows.h.
#pragma once

// The traffic label: kilobytes received, then sent
constexpr wchar_t TEXT_TRAFFIC_FORMAT[] = L"%.1f/%.1f кб";

// The exchange
constexpr wchar_t TEXT_NO_INTERNET[] = L"Интернет не подключен";
constexpr wchar_t TEXT_COMPOSING[] = L"Составление запроса...";
constexpr wchar_t TEXT_CONNECT_FAILED[] = L"Подключиться не удалось";
constexpr wchar_t TEXT_SENDING[] = L"Отправка запроса...";
constexpr wchar_t TEXT_RECEIVING[] = L"Прием запроса...";
// After the request went out: the answer never came whole
constexpr wchar_t TEXT_ANSWER_FAILED[] = L"Ответ сервера не получен";
constexpr wchar_t TEXT_ANSWER_CUT[] = L"Ответ сервера оборван";
constexpr wchar_t TEXT_ANSWER_TOO_BIG[] = L"Ответ сервера слишком велик";
constexpr wchar_t TEXT_ANSWER_MALFORMED[] = L"Ответ сервера поврежден";

// Typed text the ANSI code page cannot carry as it is; %s is the first
// such character.
constexpr wchar_t TEXT_UNCONVERTIBLE_CHARACTER_FORMAT[] = L"Нельзя отправить символ «%s»";

// Login
constexpr wchar_t TEXT_LOGIN_FAILED[] = L"Авторизоваться не удалось";
constexpr wchar_t TEXT_WRONG_PASSWORD[] = L"Неверный email или пароль, captcha не нужна";
constexpr wchar_t TEXT_CAPTCHA_NEXT[]
    = L"Неверный email или пароль, при следующей попытке нужно ввести captcha";
constexpr wchar_t TEXT_WRONG_CAPTCHA[] = L"Неверно введена captcha при отсылке email и пароля";
constexpr wchar_t TEXT_LOGGED_IN[] = L"Вы успешно авторизованы";
constexpr wchar_t TEXT_CREDENTIALS_TOO_LONG[] = L"Слишком длинный email или пароль";
constexpr wchar_t TEXT_SESSION_IDS_TOO_LONG[] = L"Сессия отклонена: слишком длинный id";
// The captcha step
constexpr wchar_t TEXT_CAPTCHA_NO_PICTURE[] = L"Картинка captcha не получена";
constexpr wchar_t TEXT_CAPTCHA_BAD_PICTURE[] = L"Картинка captcha не читается";
constexpr wchar_t TEXT_LOGIN_CANCELLED[] = L"Авторизация отменена";
// A second picture while one is on screen.
constexpr wchar_t TEXT_CAPTCHA_BUSY[] = L"Картинка captcha уже открыта";
// A second tap while the first login or logout still runs.
constexpr wchar_t TEXT_CONNECTING[] = L"Идет подключение, подождите...";
constexpr wchar_t TEXT_DISCONNECTING[] = L"Идет отключение, подождите...";

// Logout
constexpr wchar_t TEXT_NOT_LOGGED_IN[] = L"Вы еще не авторизованы";
constexpr wchar_t TEXT_LOGOUT_FAILED[] = L"Выйти не удалось";
constexpr wchar_t TEXT_LOGGED_OUT[] = L"Вы успешно вышли";
