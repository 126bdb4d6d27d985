// The text of settings.txt: INI-like narrow text with CR LF line ends. Parse,
// compose, judge and pick the credentials; no windows.h.
#pragma once

#include <stddef.h>

#include <map>
#include <string>

struct Credentials;

// Key -> value, and section name -> its keys; byte-wise, case-sensitive.
typedef std::map<std::string, std::string> SettingsSection;
typedef std::map<std::string, SettingsSection> SettingsSections;

// The whole text a save writes: the service's section with the two values,
// as they are, every line ending in CR LF. Never cut.
std::string ComposeSettingsText(const char* email, const char* password);

// Copies "email" and "password" of the service's section into credentials.
// A missing key, a value too long for its field, or one holding CR or LF
// leaves the field alone.
void SelectCredentials(const SettingsSections& sections, Credentials& credentials);

// What start-up made of settings.txt.
enum SettingsOutcome {
    SettingsAbsent,        // no file: start without credentials, as on a first run
    SettingsUsable,        // an e-mail was loaded (and the password, when present)
    SettingsUnreadable,    // there, but could not be opened or read
    SettingsTooLarge,      // over SETTINGS_MAX_FILE_BYTES
    SettingsHasNul,        // a NUL byte: not a text file
    SettingsValueTooLong,  // e-mail or password too long for its field
    SettingsBadValue,      // e-mail or password holding a CR
    SettingsNoEmail,       // no e-mail, or an empty one, in the service's section
};

// Judges the whole text of an existing settings.txt (length bytes, NULs
// included) and, only when it is usable, fills credentials from it.
SettingsOutcome ReadSettingsText(const char* text, size_t length, Credentials& credentials);

// The status text that tells the user what is wrong with the file; null for
// SettingsAbsent and SettingsUsable.
const wchar_t* SettingsOutcomeText(SettingsOutcome outcome);

// The folder of modulePath (up to its last backslash) followed by fileName,
// into path of capacity wide characters. False, with path empty, when there
// is no backslash or the result would not fit.
bool JoinSettingsPath(const wchar_t* modulePath, const wchar_t* fileName, wchar_t* path, unsigned capacity);
