// Every text about the settings file and its dialog, in one place. No windows.h.
#pragma once

// Problems of settings.txt, reported at start and by "Подключиться"
constexpr wchar_t TEXT_SETTINGS_UNREADABLE[] = L"Не удалось прочитать settings.txt";
constexpr wchar_t TEXT_SETTINGS_TOO_LARGE[] = L"Файл settings.txt слишком большой";
constexpr wchar_t TEXT_SETTINGS_HAS_NUL[] = L"settings.txt испорчен: нулевой байт";
constexpr wchar_t TEXT_SETTINGS_VALUE_TOO_LONG[] = L"Слишком длинное значение в settings.txt";
constexpr wchar_t TEXT_SETTINGS_BAD_VALUE[] = L"Недопустимый символ в settings.txt";
constexpr wchar_t TEXT_SETTINGS_NO_EMAIL[] = L"В settings.txt не указан email";
constexpr wchar_t TEXT_SETTINGS_UTF16[] = L"settings.txt в UTF-16, нужна Windows-1251";
constexpr wchar_t TEXT_SETTINGS_CR_LINE_ENDS[] = L"В settings.txt строки разделены одним CR";
// After one of the texts above: the row whose value was not taken.
constexpr wchar_t TEXT_SETTINGS_RETYPE_ROW[] = L": введите заново «";
constexpr wchar_t TEXT_QUOTE_END[] = L"»";

// A save that wrote nothing: the first text, then the reason
constexpr wchar_t TEXT_SETTINGS_NOT_SAVED[] = L"Настройки не сохранены: ";
constexpr wchar_t TEXT_SAVE_READ_ONLY[] = L"settings.txt только для чтения";
constexpr wchar_t TEXT_SAVE_FOLDER_READ_ONLY[] = L"папка программы только для чтения";
constexpr wchar_t TEXT_SAVE_FILE_IS_FOLDER[] = L"settings.txt - это папка";
constexpr wchar_t TEXT_SAVE_TEMP_IS_FOLDER[] = L"settings.tmp - это папка";
constexpr wchar_t TEXT_SAVE_LINE_END[] = L"перевод строки в значении";
constexpr wchar_t TEXT_SAVE_WRITE_FAILED[] = L"не удалось записать settings.txt";
// or a row's value: "в строке «Пароль» есть пробел"
constexpr wchar_t TEXT_SAVE_IN_ROW[] = L"в строке «";
constexpr wchar_t TEXT_SAVE_ROW_SPACE[] = L"» есть пробел";
constexpr wchar_t TEXT_SAVE_ROW_LINE_END[] = L"» есть перевод строки";
constexpr wchar_t TEXT_SAVE_ROW_TOO_LONG[] = L"» слишком длинное значение";
constexpr wchar_t TEXT_SAVE_ROW_CHARACTER[] = L"» есть символ не из Windows-1251: ";
constexpr wchar_t TEXT_SAVE_ROW_RETYPE[] = L"» значение из settings.txt не прочитано, введите его заново";
// A save that worked, after one that did not
constexpr wchar_t TEXT_SETTINGS_SAVED[] = L"Настройки сохранены";

// The settings dialog's rows
constexpr wchar_t TEXT_PROFILE_CAPTION[] = L"Профиль:";
constexpr wchar_t TEXT_EMAIL_CAPTION[] = L"Email:";
constexpr wchar_t TEXT_PASSWORD_CAPTION[] = L"Пароль:";
constexpr wchar_t TEXT_AUTOCONNECT_CAPTION[] = L"Подключение при запуске программы:";
constexpr wchar_t TEXT_YES[] = L"Да";
constexpr wchar_t TEXT_NO[] = L"Нет";
