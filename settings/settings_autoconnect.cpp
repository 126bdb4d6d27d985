// No windows.h: also built natively, where the tests and the fuzzer run.
#include "settings/settings_autoconnect.h"

#include "base/constants.h"

bool g_autoConnect = false;

bool SelectAutoConnect(const SettingsSections& sections)
{
    const SettingsSections::const_iterator service = sections.find(SERVICE_DOMAIN);
    if (service == sections.end())
        return false;
    const SettingsSection::const_iterator value = service->second.find(SETTINGS_AUTOCONNECT_KEY);
    return value != service->second.end() && value->second == "1";
}

std::string ComposeSettingsTextWith(const char* email, const char* password, bool autoConnect)
{
    std::string text = ComposeSettingsText(email, password);
    if (autoConnect)
        text += SETTINGS_AUTOCONNECT_KEY "=1\r\n";
    return text;
}
