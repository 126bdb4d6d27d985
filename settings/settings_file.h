// settings.txt beside the program: opening, reading and writing the real
// file, and the credentials loaded from it and saved to it. The text itself
// (parse, compose, judge) is pure and lives in settings_parse.h.
#pragma once

#include "settings/settings_parse.h"

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

// Reads settings.txt row by row and, when the file is usable, puts its
// credentials into g_credentials; remembers what it found for
// SettingsProblemText and the dialog.
void LoadSettings();

// Why a save wrote nothing.
enum SettingsSaveResult {
    SettingsSaveDone,
    SettingsSaveReadOnly,        // settings.txt carries the read-only attribute
    SettingsSaveFolderReadOnly,  // the program's folder takes no new file
    SettingsSaveFileIsFolder,    // a folder named settings.txt
    SettingsSaveTempIsFolder,    // a folder named settings.tmp
    SettingsSaveLineEnd,         // a value holding CR or LF would add lines of its own
    SettingsSaveWriteFailed,     // anything else: the disk, a reader holding the file
};

// Rewrites the file with the service's section and values (one per row).
// Anything but SettingsSaveDone leaves the file byte for byte as it was and
// the values in force as they were; after a save the values are the file's.
SettingsSaveResult SaveSettings(const SettingsValues& values);

// "Настройки не сохранены: " and the reason.
std::wstring SettingsSaveText(SettingsSaveResult result);

// What is wrong with the settings.txt read at start, as a status text; null
// when there is nothing to say (a usable file, no file, or a save since).
const wchar_t* SettingsProblemText();

// The values the dialog opens with: the file's as last read or saved,
// every value read whole even from a file that was refused.
const SettingsRead& SettingsFileRead();

// True when the yes/no row of key is "1" in a usable or saved file.
bool SettingIsYes(const char* key);
