// Every setting, one row each: its key in settings.txt, its row in the
// settings dialog, its default and bounds. Reading, judging and composing
// the file and filling and reading the dialog all walk this table, so a new
// setting is one row here and the code that uses its value. No windows.h.
#pragma once

#include <stddef.h>

#include <string>
#include <vector>

#include "base/credentials.h"
#include "settings/settings_texts.h"

enum SettingKind {
    SettingKindProfile,  // the service's name to choose from; nothing to store
    SettingKindText,     // one line of text
    SettingKindYesNo,    // "1" for yes, "0" for no
};

struct SettingRow {
    const char* key;  // in the service's section; null: shown, never stored
    const wchar_t* caption;
    SettingKind kind;
    const char* defaultValue;
    size_t maxBytes;          // a longer value is refused, never cut
    bool writtenWhenDefault;  // false: a value equal to its default adds no line
    bool required;            // a file without a value for it is not usable
    // The field of the login's record it fills, or null.
    char (Credentials::*credential)[CREDENTIAL_FIELD_SIZE];
};

enum { SETTING_TEXT_MAX_BYTES = CREDENTIAL_FIELD_SIZE - 1 };

// Top to bottom as the dialog shows them; the file's lines keep this order.
// clang-format off
constexpr SettingRow SETTING_ROWS[] = {
    {nullptr,       TEXT_PROFILE_CAPTION,     SettingKindProfile, "",  0,                      false, false, nullptr},
    {"email",       TEXT_EMAIL_CAPTION,       SettingKindText,    "",  SETTING_TEXT_MAX_BYTES, true,  true,  &Credentials::email},
    {"password",    TEXT_PASSWORD_CAPTION,    SettingKindText,    "",  SETTING_TEXT_MAX_BYTES, true,  false, &Credentials::password},
    {"autoconnect", TEXT_AUTOCONNECT_CAPTION, SettingKindYesNo,   "0", 1,                      false, false, nullptr},
};
// clang-format on
constexpr int SETTING_ROW_COUNT = sizeof(SETTING_ROWS) / sizeof(SETTING_ROWS[0]);

// One value per row of SETTING_ROWS, narrow text as the file holds it.
typedef std::vector<std::string> SettingsValues;

// Every row at its default.
SettingsValues DefaultSettingsValues();

// The row of key, or -1.
int SettingRowOf(const char* key);

// The login's record from the rows that fill it, every field zero-padded.
void CredentialsFromValues(const SettingsValues& values, Credentials& credentials);
