// The text of settings.txt: INI-like narrow text with CR LF line ends. Parse,
// compose, judge and pick the credentials; no windows.h.
#pragma once

#include <stddef.h>

#include <map>
#include <string>

#include "settings/settings_schema.h"

// Key -> value, and section name -> its keys; byte-wise, case-sensitive.
typedef std::map<std::string, std::string> SettingsSection;
typedef std::map<std::string, SettingsSection> SettingsSections;

// The whole text a save writes: the service's section with a line for every
// stored row (in the table's order) whose value is not its default or is
// written anyway, values as they are, every line ending in CR LF. Never cut.
std::string ComposeSettingsText(const SettingsValues& values);

// What start-up made of settings.txt.
enum SettingsOutcome {
    SettingsAbsent,        // no file: start without credentials, as on a first run
    SettingsUsable,        // an e-mail was loaded (and the password, when present)
    SettingsUnreadable,    // there, but could not be opened or read
    SettingsTooLarge,      // over SETTINGS_MAX_FILE_BYTES
    SettingsHasNul,        // a NUL byte: not a text file
    SettingsValueTooLong,  // a value too long for its row
    SettingsBadValue,      // a value holding a CR
    SettingsNoEmail,       // no e-mail, or an empty one, in the service's section
    SettingsCrLineEnds,    // lines that end in CR alone: nothing could be read
    SettingsUtf16,         // UTF-16 with its byte-order mark, as Notepad saves "Unicode"
};

// What start-up made of an existing settings.txt, row by row.
struct SettingsRead {
    SettingsOutcome outcome = SettingsAbsent;
    // Every value read whole, also from a file that is not usable; the
    // others at their default.
    SettingsValues values = DefaultSettingsValues();
    // A value was there but could not be taken: it must be typed again.
    std::vector<bool> refused = std::vector<bool>(SETTING_ROW_COUNT, false);
};

// Judges the whole text of an existing settings.txt (length bytes, NULs
// included). A NUL, a CR or an overlong value spoils only its own line's
// value; the outcome names the first problem. A UTF-16 text is read as
// Windows-1251 where it can be (a character without a byte spoils its
// line), but refused all the same. Only a usable file may be put in force.
SettingsRead ReadSettingsText(const char* text, size_t length);

// The first row that must be typed again, or -1.
int FirstRefusedRow(const SettingsRead& read);

// The status text that tells the user what is wrong with the file; null for
// SettingsAbsent and SettingsUsable.
const wchar_t* SettingsOutcomeText(SettingsOutcome outcome);

// The outcome's text followed by the row to type again, when there is one;
// empty when there is nothing to say.
std::wstring SettingsReadText(const SettingsRead& read);

// A row's caption without its colon, for a status text that names it.
std::wstring RowName(int row);

// The folder of modulePath (up to its last backslash) followed by fileName,
// into path of capacity wide characters. False, with path empty, when there
// is no backslash or the result would not fit.
bool JoinSettingsPath(const wchar_t* modulePath, const wchar_t* fileName, wchar_t* path, unsigned capacity);
