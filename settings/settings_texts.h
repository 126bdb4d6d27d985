// Every text about the settings file and its dialog, in one place. No windows.h.
#pragma once

// Problems of settings.txt, reported at start and by "Подключиться"
constexpr wchar_t TEXT_SETTINGS_UNREADABLE[] = L"Не удалось прочитать settings.txt";
constexpr wchar_t TEXT_SETTINGS_TOO_LARGE[] = L"Файл settings.txt слишком большой";
constexpr wchar_t TEXT_SETTINGS_HAS_NUL[] = L"settings.txt испорчен: нулевой байт";
constexpr wchar_t TEXT_SETTINGS_VALUE_TOO_LONG[] = L"Слишком длинное значение в settings.txt";
constexpr wchar_t TEXT_SETTINGS_BAD_VALUE[] = L"Недопустимый символ в settings.txt";
constexpr wchar_t TEXT_SETTINGS_NO_EMAIL[] = L"В settings.txt не указан email";

// The settings dialog's rows
constexpr wchar_t TEXT_PROFILE_CAPTION[] = L"Профиль:";
constexpr wchar_t TEXT_EMAIL_CAPTION[] = L"Email:";
constexpr wchar_t TEXT_PASSWORD_CAPTION[] = L"Пароль:";
constexpr wchar_t TEXT_AUTOCONNECT_CAPTION[] = L"Подключение при запуске программы:";
constexpr wchar_t TEXT_YES[] = L"Да";
constexpr wchar_t TEXT_NO[] = L"Нет";
