// Every status-bar text about the settings file, in one place. No windows.h.
#pragma once

constexpr wchar_t TEXT_SETTINGS_UNREADABLE[] = L"Не удалось прочитать settings.txt";
constexpr wchar_t TEXT_SETTINGS_TOO_LARGE[] = L"Файл settings.txt слишком большой";
constexpr wchar_t TEXT_SETTINGS_HAS_NUL[] = L"settings.txt испорчен: нулевой байт";
constexpr wchar_t TEXT_SETTINGS_VALUE_TOO_LONG[] = L"Слишком длинное значение в settings.txt";
constexpr wchar_t TEXT_SETTINGS_BAD_VALUE[] = L"Недопустимый символ в settings.txt";
constexpr wchar_t TEXT_SETTINGS_NO_EMAIL[] = L"В settings.txt не указан email";
