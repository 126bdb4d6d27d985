// Reading and composing the text of settings.txt. No windows.h: this file is
// also built natively, where the tests and the fuzzer run it.
#include "settings/settings_file.h"
#include "settings/settings_parse.h"

#include <cstring>
#include <cwchar>

#include "base/constants.h"
#include "net/text.h"
#include "settings/settings_texts.h"

namespace {

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

// The line from start up to the LF at lineEnd; a CR right before the LF
// belongs to the line end.
std::string LineBefore(const std::string& all, size_t start, size_t lineEnd)
{
    if (lineEnd > start && all[lineEnd - 1] == '\r')
        --lineEnd;
    return all.substr(start, lineEnd - start);
}

// What is wrong with one text value, if anything.
SettingsOutcome JudgeValue(const SettingRow& row, const std::string& value)
{
    if (value.size() > row.maxBytes)
        return SettingsValueTooLong;
    // A CR left inside a line (not right before its LF) would break the
    // login request line and the next save.
    if (value.find_first_of("\r\n") != std::string::npos)
        return SettingsBadValue;
    return SettingsUsable;
}

// Takes each row's value from the service's section; returns the first
// problem met, in the table's order.
SettingsOutcome PickValues(const SettingsSection& section, SettingsRead& read)
{
    SettingsOutcome first = SettingsUsable;
    for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
        const SettingRow& schema = SETTING_ROWS[row];
        const SettingsSection::const_iterator found
            = schema.key != nullptr ? section.find(schema.key) : section.end();
        if (found == section.end())
            continue;
        if (schema.kind == SettingKindYesNo) {
            read.values[row] = found->second == "1" ? "1" : "0";  // anything else is a no
            continue;
        }
        const SettingsOutcome judged = JudgeValue(schema, found->second);
        if (judged == SettingsUsable) {
            read.values[row] = found->second;
            continue;
        }
        read.refused[row] = true;
        if (first == SettingsUsable)
            first = judged;
    }
    return first;
}

// Little-endian UTF-16 after its byte-order mark, as Windows-1251 bytes:
// ASCII and the Russian letters; any other character becomes a NUL, which
// spoils the value of its line. False when text is not such a file.
bool DecodeUtf16(const char* text, size_t length, std::string& bytes)
{
    if (length < 2 || static_cast<unsigned char>(text[0]) != 0xFF
        || static_cast<unsigned char>(text[1]) != 0xFE)
        return false;
    bytes.clear();
    for (size_t at = 2; at + 1 < length; at += 2) {
        const unsigned unit
            = static_cast<unsigned char>(text[at]) | (static_cast<unsigned char>(text[at + 1]) << 8);
        if (unit < 0x80)
            bytes += static_cast<char>(unit);
        else if (unit >= 0x410 && unit <= 0x44F)
            bytes += static_cast<char>(0xC0 + (unit - 0x410));
        else if (unit == 0x401 || unit == 0x451)
            bytes += static_cast<char>(unit == 0x401 ? 0xA8 : 0xB8);  // Ё, ё
        else
            bytes += '\0';
    }
    return true;
}

bool LacksARequiredValue(const SettingsRead& read)
{
    for (int row = 0; row < SETTING_ROW_COUNT; ++row)
        if (SETTING_ROWS[row].required && read.values[row].empty())
            return true;
    return false;
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

std::string ComposeSettingsText(const SettingsValues& values)
{
    std::string text = "[" SERVICE_DOMAIN "]";
    for (int row = 0; row < SETTING_ROW_COUNT && row < static_cast<int>(values.size()); ++row) {
        const SettingRow& schema = SETTING_ROWS[row];
        if (schema.key == nullptr || (!schema.writtenWhenDefault && values[row] == schema.defaultValue))
            continue;
        text += "\r\n";
        text += schema.key;
        text += "=";
        text += values[row];
    }
    text += "\r\n";
    return text;
}

SettingsRead ReadSettingsText(const char* text, size_t length)
{
    SettingsRead read;
    if (length > SETTINGS_MAX_FILE_BYTES) {
        read.outcome = SettingsTooLarge;
        return read;
    }
    if (length > 0 && text == nullptr) {
        read.outcome = SettingsUnreadable;
        return read;
    }
    std::string decoded;
    const bool utf16 = DecodeUtf16(text, length, decoded);
    if (utf16) {
        text = decoded.data();
        length = decoded.size();
    }
    // A NUL spoils the value of its own line only: as two CRs it is a CR
    // inside the value wherever it stands, also right before the LF.
    std::string bytes;
    bool hasNul = false;
    for (size_t at = 0; at < length; ++at) {
        hasNul = hasNul || text[at] == '\0';
        bytes += text[at] == '\0' ? std::string("\r\r") : std::string(1, text[at]);
    }

    SettingsSections sections;
    const int separators = SettingsFile::Parse(bytes.c_str(), sections);
    const SettingsSections::const_iterator service = sections.find(SERVICE_DOMAIN);
    const SettingsOutcome picked
        = service != sections.end() ? PickValues(service->second, read) : SettingsUsable;
    if (utf16)
        read.outcome = SettingsUtf16;
    else if (hasNul)
        read.outcome = SettingsHasNul;
    else if (separators == 0 && bytes.find('\r') != std::string::npos)
        read.outcome = SettingsCrLineEnds;
    else if (picked != SettingsUsable)
        read.outcome = picked;  // named before a missing e-mail: it is what the user must mend
    else if (LacksARequiredValue(read))
        read.outcome = SettingsNoEmail;
    else
        read.outcome = SettingsUsable;
    return read;
}

int FirstRefusedRow(const SettingsRead& read)
{
    for (int row = 0; row < SETTING_ROW_COUNT && row < static_cast<int>(read.refused.size()); ++row)
        if (read.refused[row])
            return row;
    return -1;
}

std::wstring RowName(int row)
{
    std::wstring name = SETTING_ROWS[row].caption;
    if (!name.empty() && name.back() == L':')
        name.pop_back();
    return name;
}

std::wstring SettingsReadText(const SettingsRead& read)
{
    const wchar_t* problem = SettingsOutcomeText(read.outcome);
    if (problem == nullptr)
        return std::wstring();
    std::wstring text = problem;
    const int refused = FirstRefusedRow(read);
    if (refused >= 0)
        text += TEXT_SETTINGS_RETYPE_ROW + RowName(refused) + TEXT_QUOTE_END;
    return text;
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
    case SettingsCrLineEnds:   return TEXT_SETTINGS_CR_LINE_ENDS;
    case SettingsUtf16:        return TEXT_SETTINGS_UTF16;
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
