// No windows.h: also built natively, where the tests and the fuzzer run.
#include "settings/settings_schema.h"

#include <cstring>

SettingsValues DefaultSettingsValues()
{
    SettingsValues values;
    for (const SettingRow& row : SETTING_ROWS)
        values.push_back(row.defaultValue);
    return values;
}

int SettingRowOf(const char* key)
{
    for (int row = 0; row < SETTING_ROW_COUNT; ++row)
        if (key != nullptr && SETTING_ROWS[row].key != nullptr && strcmp(SETTING_ROWS[row].key, key) == 0)
            return row;
    return -1;
}

void CredentialsFromValues(const SettingsValues& values, Credentials& credentials)
{
    memset(&credentials, 0, sizeof(credentials));
    for (int row = 0; row < SETTING_ROW_COUNT && row < static_cast<int>(values.size()); ++row) {
        if (SETTING_ROWS[row].credential == nullptr)
            continue;
        char* field = credentials.*SETTING_ROWS[row].credential;
        strncpy(field, values[row].c_str(), CREDENTIAL_FIELD_SIZE - 1);
    }
}
