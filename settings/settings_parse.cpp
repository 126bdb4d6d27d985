// Reading and composing the text of settings.txt. No windows.h: this file is
// also built natively, where the tests and the fuzzer run it.
#include "settings/settings_file.h"
#include "settings/settings_parse.h"

#include <cstring>
#include <cwchar>

#include "base/constants.h"
#include "base/credentials.h"
#include "net/text.h"
#include "settings/settings_texts.h"

namespace {

const char kEmailKey[] = "email";
const char kPasswordKey[] = "password";

// One line of the file: a key=value pair for the current section, a header
// that changes the current section, or nothing.
void ParsePiece(std::string piece, std::string& section, SettingsSections& sections)
{
    RemoveSpaces(piece);
    if (piece.empty())
        return;

    // "=" is looked for first: "a=[b]" is a value, not a header.
    const size_t equals = piece.find('=');
    if (equals != std::string::npos) {
        // emplace keeps an existing key: the first occurrence wins.
        sections[section].emplace(piece.substr(0, equals), piece.substr(equals + 1));
        return;
    }

    const size_t open = piece.find('[');
    const size_t close = piece.find(']');
    if (open == std::string::npos || close == 0)
        return;
    if (close != std::string::npos && close > open)
        section = piece.substr(open + 1, close - open - 1);
    else
        section = piece.substr(open + 1);
}

bool CopyValue(const SettingsSection& section, const char* key, char* field)
{
    const SettingsSection::const_iterator found = section.find(key);
    if (found == section.end())
        return false;
    // Refused rather than cut: half a password is worse than none.
    if (found->second.size() >= CREDENTIAL_FIELD_SIZE)
        return false;
    // A CR left inside a line (not right before its LF) would break the
    // login request line and the next save, so such a value is not used.
    if (found->second.find_first_of("\r\n") != std::string::npos)
        return false;
    memset(field, 0, CREDENTIAL_FIELD_SIZE);
    memcpy(field, found->second.data(), found->second.size());
    return true;
}

// The line from start up to the LF at lineEnd; a CR right before the LF
// belongs to the line end.
std::string LineBefore(const std::string& all, size_t start, size_t lineEnd)
{
    if (lineEnd > start && all[lineEnd - 1] == '\r')
        --lineEnd;
    return all.substr(start, lineEnd - start);
}

// What is wrong with one value that will go into a credential field, if anything.
SettingsOutcome JudgeValue(const std::string& value)
{
    if (value.size() >= CREDENTIAL_FIELD_SIZE)
        return SettingsValueTooLong;
    if (value.find_first_of("\r\n") != std::string::npos)
        return SettingsBadValue;
    return SettingsUsable;
}

}  // namespace

int SettingsFile::Parse(const char* text, SettingsSections& sections)
{
    if (text == nullptr || text[0] == '\0')
        return 0;
    const std::string all(text);

    // A text without any line end, even one good line, gives nothing.
    size_t lineEnd = all.find('\n');
    if (lineEnd == std::string::npos)
        return 0;

    std::string section = SETTINGS_UNSET_SECTION;
    size_t start = 0;
    int separators = 0;
    while (lineEnd != std::string::npos) {
        ParsePiece(LineBefore(all, start, lineEnd), section, sections);
        ++separators;
        start = lineEnd + 1;
        lineEnd = all.find('\n', start);
    }
    // The text after the last line end counts as a line too.
    ParsePiece(all.substr(start), section, sections);
    return separators;
}

std::string ComposeSettingsText(const char* email, const char* password)
{
    std::string text = "[" SERVICE_DOMAIN "]";
    text += "\r\nemail=";
    text += email != nullptr ? email : "";
    text += "\r\npassword=";
    text += password != nullptr ? password : "";
    text += "\r\n";
    return text;
}

void SelectCredentials(const SettingsSections& sections, Credentials& credentials)
{
    const SettingsSections::const_iterator service = sections.find(SERVICE_DOMAIN);
    if (service == sections.end())
        return;
    CopyValue(service->second, kEmailKey, credentials.email);
    CopyValue(service->second, kPasswordKey, credentials.password);
}

SettingsOutcome ReadSettingsText(const char* text, size_t length, Credentials& credentials)
{
    if (length > SETTINGS_MAX_FILE_BYTES)
        return SettingsTooLarge;
    if (length > 0 && text == nullptr)
        return SettingsUnreadable;
    if (length > 0 && memchr(text, '\0', length) != nullptr)
        return SettingsHasNul;

    SettingsSections sections;
    SettingsFile::Parse(std::string(text != nullptr ? text : "", length).c_str(), sections);
    const SettingsSections::const_iterator service = sections.find(SERVICE_DOMAIN);
    if (service == sections.end())
        return SettingsNoEmail;
    const SettingsSection& values = service->second;
    const SettingsSection::const_iterator email = values.find(kEmailKey);
    const SettingsSection::const_iterator password = values.find(kPasswordKey);
    // A broken value is named before a missing e-mail: it is what the user must mend.
    const SettingsSection::const_iterator present[] = {email, password};
    for (const SettingsSection::const_iterator& value : present) {
        if (value == values.end())
            continue;
        const SettingsOutcome judged = JudgeValue(value->second);
        if (judged != SettingsUsable)
            return judged;
    }
    if (email == values.end() || email->second.empty())
        return SettingsNoEmail;
    SelectCredentials(sections, credentials);
    return SettingsUsable;
}

const wchar_t* SettingsOutcomeText(SettingsOutcome outcome)
{
    // One line per case, aligned as a table.
    // clang-format off
    switch (outcome) {
    case SettingsUnreadable:   return TEXT_SETTINGS_UNREADABLE;
    case SettingsTooLarge:     return TEXT_SETTINGS_TOO_LARGE;
    case SettingsHasNul:       return TEXT_SETTINGS_HAS_NUL;
    case SettingsValueTooLong: return TEXT_SETTINGS_VALUE_TOO_LONG;
    case SettingsBadValue:     return TEXT_SETTINGS_BAD_VALUE;
    case SettingsNoEmail:      return TEXT_SETTINGS_NO_EMAIL;
    case SettingsAbsent:
    case SettingsUsable:
    default:                   return nullptr;
    }
    // clang-format on
}

bool JoinSettingsPath(const wchar_t* modulePath, const wchar_t* fileName, wchar_t* path, unsigned capacity)
{
    if (path == nullptr || capacity == 0)
        return false;
    path[0] = L'\0';
    if (modulePath == nullptr || fileName == nullptr)
        return false;

    const wchar_t* lastBackslash = wcsrchr(modulePath, L'\\');
    if (lastBackslash == nullptr)
        return false;
    const size_t folderLength = static_cast<size_t>(lastBackslash - modulePath) + 1;
    const size_t nameLength = wcslen(fileName);
    if (folderLength + nameLength + 1 > capacity)
        return false;

    wmemcpy(path, modulePath, folderLength);
    wmemcpy(path + folderLength, fileName, nameLength);
    path[folderLength + nameLength] = L'\0';
    return true;
}
