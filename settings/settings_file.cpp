// settings.txt on disk: opened beside the executable, read whole at start-up,
// replaced whole on save.
#include <windows.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/credentials.h"
#include "settings/settings_file.h"
#include "settings/settings_texts.h"

SettingsFile g_settingsFile;

namespace {

// Written once at start-up, and by a save, both on the user-interface thread.
SettingsRead g_settingsRead;
std::wstring g_settingsProblem;

bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool IsOversized(HANDLE file)
{
    LARGE_INTEGER size;
    return GetFileSizeEx(file, &size) && size.QuadPart > SETTINGS_MAX_FILE_BYTES;
}

bool SettingsPathFor(const wchar_t* fileName, wchar_t* path)
{
    wchar_t modulePath[SETTINGS_PATH_SIZE];
    const DWORD length = GetModuleFileNameW(NULL, modulePath, SETTINGS_PATH_SIZE);
    // A full buffer means the name was cut (and maybe left unterminated).
    if (length == 0 || length >= SETTINGS_PATH_SIZE) {
        path[0] = L'\0';
        return false;
    }
    modulePath[length] = L'\0';
    return JoinSettingsPath(modulePath, fileName, path, SETTINGS_PATH_SIZE);
}

bool IsUsable(void* file)
{
    return file != NULL && file != INVALID_HANDLE_VALUE;
}

// Closes file, and forgets it when it is the one Open kept.
void CloseFile(SettingsFile& owner, void* file)
{
    if (IsUsable(file))
        CloseHandle(file);
    if (owner.handle == file)
        owner.handle = INVALID_HANDLE_VALUE;
}

}  // namespace

bool SettingsFile::Open(const wchar_t* fileName, unsigned long access, unsigned long creation)
{
    wchar_t path[SETTINGS_PATH_SIZE];
    if (!SettingsPathFor(fileName, path)) {
        handle = INVALID_HANDLE_VALUE;
        SetLastError(ERROR_FILENAME_EXCED_RANGE);  // there may be a file; we cannot name it
        return false;
    }
    handle = CreateFileW(path, access, FILE_SHARE_READ, NULL, creation, FILE_ATTRIBUTE_NORMAL, NULL);
    return IsUsable(handle);
}

int SettingsFile::ReadAll(void* file, char** text)
{
    *text = NULL;
    if (!IsUsable(file)) {
        CloseFile(*this, file);
        return -1;
    }

    char* whole = static_cast<char*>(malloc(1));
    int total = 0;
    bool failed = whole == NULL;
    while (!failed) {
        char chunk[SETTINGS_READ_CHUNK];
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof(chunk), &got, NULL)) {
            failed = true;
            break;
        }
        if (got == 0)
            break;
        if (got > SETTINGS_MAX_FILE_BYTES - static_cast<DWORD>(total)) {
            failed = true;  // too big to be a settings file
            break;
        }
        char* grown = static_cast<char*>(realloc(whole, total + got + 1));
        if (grown == NULL) {
            failed = true;
            break;
        }
        whole = grown;
        memcpy(whole + total, chunk, got);
        total += static_cast<int>(got);
    }
    CloseFile(*this, file);

    if (failed) {
        free(whole);
        return -1;
    }
    whole[total] = '\0';
    *text = whole;
    return total;
}

int SettingsFile::Write(void* file, const char* text)
{
    const size_t length = text != NULL ? strlen(text) : 0;
    bool failed = !IsUsable(file) || text == NULL || length > INT_MAX;
    size_t done = 0;
    while (!failed && done < length) {
        DWORD wrote = 0;
        if (!WriteFile(file, text + done, static_cast<DWORD>(length - done), &wrote, NULL) || wrote == 0) {
            failed = true;
            break;
        }
        done += wrote;
    }
    // The file is about to replace the old one: it must be on the disk.
    if (!failed && !FlushFileBuffers(file))
        failed = true;
    CloseFile(*this, file);
    return failed ? -1 : static_cast<int>(done);
}

void LoadSettings()
{
    g_settingsRead = SettingsRead();
    if (!g_settingsFile.Open(SETTINGS_FILE_NAME, GENERIC_READ, OPEN_EXISTING)) {
        g_settingsRead.outcome = IsMissing(GetLastError()) ? SettingsAbsent : SettingsUnreadable;
        return;
    }
    // Told apart from a read error before reading, so the user learns which.
    if (IsOversized(g_settingsFile.handle)) {
        CloseFile(g_settingsFile, g_settingsFile.handle);
        g_settingsRead.outcome = SettingsTooLarge;
        return;
    }
    char* text = NULL;
    const int length = g_settingsFile.ReadAll(g_settingsFile.handle, &text);
    if (length < 0)
        g_settingsRead.outcome = SettingsUnreadable;
    else
        g_settingsRead = ReadSettingsText(text, static_cast<size_t>(length));
    free(text);
    if (g_settingsRead.outcome != SettingsUsable)
        return;
    Credentials loaded;
    CredentialsFromValues(g_settingsRead.values, loaded);
    CopyCredentials(loaded, g_credentials);
}

const wchar_t* SettingsProblemText()
{
    g_settingsProblem = SettingsReadText(g_settingsRead);
    return g_settingsProblem.empty() ? nullptr : g_settingsProblem.c_str();
}

const SettingsRead& SettingsFileRead()
{
    return g_settingsRead;
}

bool SettingIsYes(const char* key)
{
    const int row = SettingRowOf(key);
    return row >= 0 && g_settingsRead.outcome == SettingsUsable && g_settingsRead.values[row] == "1";
}

std::wstring SettingsSaveText(SettingsSaveResult result)
{
    std::wstring text = TEXT_SETTINGS_NOT_SAVED;
    // clang-format off
    switch (result) {
    case SettingsSaveReadOnly:       return text + TEXT_SAVE_READ_ONLY;
    case SettingsSaveFolderReadOnly: return text + TEXT_SAVE_FOLDER_READ_ONLY;
    case SettingsSaveFileIsFolder:   return text + TEXT_SAVE_FILE_IS_FOLDER;
    case SettingsSaveTempIsFolder:   return text + TEXT_SAVE_TEMP_IS_FOLDER;
    case SettingsSaveLineEnd:        return text + TEXT_SAVE_LINE_END;
    case SettingsSaveDone:           return std::wstring();
    case SettingsSaveWriteFailed:
    default:                         return text + TEXT_SAVE_WRITE_FAILED;
    }
    // clang-format on
}

namespace {

bool HoldsLineEnd(const SettingsValues& values)
{
    for (const std::string& value : values)
        if (value.find_first_of("\r\n") != std::string::npos)
            return true;
    return false;
}

// What stands in the way of writing beside settings.txt, before anything is
// touched. Wine replaces a read-only file all the same, so the attribute is
// looked at here rather than left to the replace.
SettingsSaveResult Obstacle(const wchar_t* settingsPath, const wchar_t* temporaryPath)
{
    const DWORD settings = GetFileAttributesW(settingsPath);
    if (settings != INVALID_FILE_ATTRIBUTES && (settings & FILE_ATTRIBUTE_DIRECTORY))
        return SettingsSaveFileIsFolder;
    if (settings != INVALID_FILE_ATTRIBUTES && (settings & FILE_ATTRIBUTE_READONLY))
        return SettingsSaveReadOnly;
    const DWORD temporary = GetFileAttributesW(temporaryPath);
    if (temporary != INVALID_FILE_ATTRIBUTES && (temporary & FILE_ATTRIBUTE_DIRECTORY))
        return SettingsSaveTempIsFolder;
    std::wstring folder = settingsPath;
    folder.erase(folder.rfind(L'\\'));
    const DWORD folderAttributes = GetFileAttributesW(folder.c_str());
    if (folderAttributes != INVALID_FILE_ATTRIBUTES && (folderAttributes & FILE_ATTRIBUTE_READONLY))
        return SettingsSaveFolderReadOnly;
    return SettingsSaveDone;
}

// Writes text to settings.tmp and puts it in the place of settings.txt.
SettingsSaveResult Replace(const std::string& text, const wchar_t* settingsPath, const wchar_t* temporaryPath)
{
    if (!g_settingsFile.Open(SETTINGS_TEMP_FILE_NAME, GENERIC_WRITE, CREATE_ALWAYS)) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_WRITE_PROTECT ? SettingsSaveFolderReadOnly
                                                                            : SettingsSaveWriteFailed;
    }
    const int written = g_settingsFile.Write(g_settingsFile.handle, text.c_str());
    if (written == static_cast<int>(text.size())
        && MoveFileExW(temporaryPath, settingsPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return SettingsSaveDone;
    DeleteFileW(temporaryPath);
    return SettingsSaveWriteFailed;
}

}  // namespace

SettingsSaveResult SaveSettings(const SettingsValues& values)
{
    // A line end inside a value would add lines of its own to the file (a
    // typed "a\r\npassword=x" would load as the password next time).
    if (HoldsLineEnd(values))
        return SettingsSaveLineEnd;
    // The new text goes to a file of its own and replaces settings.txt only
    // once it is whole, so a failed save keeps the previous settings.
    wchar_t temporaryPath[SETTINGS_PATH_SIZE];
    wchar_t settingsPath[SETTINGS_PATH_SIZE];
    if (!SettingsPathFor(SETTINGS_TEMP_FILE_NAME, temporaryPath)
        || !SettingsPathFor(SETTINGS_FILE_NAME, settingsPath))
        return SettingsSaveWriteFailed;
    SettingsSaveResult result = Obstacle(settingsPath, temporaryPath);
    if (result == SettingsSaveDone)
        result = Replace(ComposeSettingsText(values), settingsPath, temporaryPath);
    if (result != SettingsSaveDone)
        return result;
    g_settingsRead = SettingsRead();
    g_settingsRead.outcome = SettingsUsable;
    g_settingsRead.values = values;
    return SettingsSaveDone;
}
