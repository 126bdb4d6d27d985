// settings.txt beside the program: INI-like narrow text with CR LF line ends.
// The parser, the composer and the credential selection build without
// windows.h; opening, reading and writing the real file live in
// settings_file.cpp.
#pragma once

#include <map>
#include <string>

struct Credentials;

// Key -> value, and section name -> its keys; byte-wise, case-sensitive.
typedef std::map<std::string, std::string> SettingsSection;
typedef std::map<std::string, SettingsSection> SettingsSections;

#define SETTINGS_FILE_NAME L"settings.txt"
// A save lands here first; no longer than settings.txt, so whatever folder
// can hold the settings can hold it too.
#define SETTINGS_TEMP_FILE_NAME L"settings.tmp"
#define SETTINGS_UNSET_SECTION  "unset"  // keys before any header

enum {
    SETTINGS_PATH_SIZE = 260,             // wide characters, terminator included
    SETTINGS_MAX_FILE_BYTES = 64 * 1024,  // a longer file is not ours
    SETTINGS_READ_CHUNK = 256
};

struct SettingsFile {
    // The handle of the last open (a HANDLE); INVALID_HANDLE_VALUE after a
    // failed open or once an operation has closed it.
    void* handle = nullptr;

    // Opens fileName in the program's folder (FILE_SHARE_READ,
    // FILE_ATTRIBUTE_NORMAL) and keeps the handle; true for a usable handle.
    bool Open(const wchar_t* fileName, unsigned long access, unsigned long creation);

    // Reads the whole file into a new malloc'ed, NUL-terminated text that the
    // caller frees; returns its length (0 for an empty file). A read error or
    // a file over SETTINGS_MAX_FILE_BYTES gives -1 and a null text. Always
    // closes the file.
    int ReadAll(void* file, char** text);

    // Writes text without its NUL and flushes it; returns the bytes written or
    // -1. Always closes the file.
    int Write(void* file, const char* text);

    // Adds every key=value line of text to sections; returns the number of
    // line ends (0: nothing was parsed). A line ends in LF, with or without a
    // CR before it, as editors on any system write it.
    static int Parse(const char* text, SettingsSections& sections);
};

extern SettingsFile g_settingsFile;

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
