// settings.txt as anyone may have edited it: the parser, the values read
// row by row, and a save of what was read read back again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/constants.h"
#include "base/credentials.h"
#include "settings/settings_file.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        abort();
}

int CountLineEnds(const std::string& text)
{
    int count = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ++count;
    return count;
}

bool Terminated(const char* field)
{
    return memchr(field, '\0', CREDENTIAL_FIELD_SIZE) != nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The file reader hands the parser a NUL-terminated copy.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string text(bytes.c_str());

    SettingsSections sections;
    const int separators = SettingsFile::Parse(bytes.c_str(), sections);
    Check(separators == CountLineEnds(text));
    if (separators == 0)
        Check(sections.empty());
    for (const auto& section : sections) {
        Check(!section.second.empty());
        Check(section.first.find(' ') == std::string::npos);
        for (const auto& entry : section.second) {
            Check(entry.first.find('=') == std::string::npos);
            Check(entry.first.find(' ') == std::string::npos);
            Check(entry.second.find(' ') == std::string::npos);
        }
    }

    // The start-up judgement of the same bytes, NULs included.
    const SettingsRead read = ReadSettingsText(bytes.data(), bytes.size());
    const auto service = sections.find(SERVICE_DOMAIN);
    for (int row = 0; row < SETTING_ROW_COUNT; ++row) {
        const SettingRow& schema = SETTING_ROWS[row];
        const std::string& value = read.values[row];
        Check(value.size() <= schema.maxBytes || schema.kind == SettingKindProfile);
        Check(value.find_first_of("\r\n ") == std::string::npos);
        if (schema.kind == SettingKindYesNo)
            Check(value == "0" || value == "1");
        if (read.refused[row])
            Check(value == schema.defaultValue);
        // Without a NUL the parser saw the same text: a value is taken as it
        // stands or refused, never cut.
        if (schema.kind != SettingKindText || text.size() != bytes.size()
            || bytes.size() > SETTINGS_MAX_FILE_BYTES || read.outcome == SettingsUtf16)
            continue;
        std::string expected = schema.defaultValue;
        bool refused = false;
        if (service != sections.end() && service->second.count(schema.key)) {
            const std::string& found = service->second.at(schema.key);
            refused = found.size() > schema.maxBytes || found.find_first_of("\r\n") != std::string::npos;
            if (!refused)
                expected = found;
        }
        Check(expected == value);
        Check(refused == read.refused[row]);
    }
    // A UTF-16 file is named as such, whatever NULs it holds.
    const bool utf16 = bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0;
    Check((read.outcome == SettingsUtf16) == (bytes.size() <= SETTINGS_MAX_FILE_BYTES && utf16));
    if (!utf16)
        Check((read.outcome == SettingsHasNul)
            == (bytes.size() <= SETTINGS_MAX_FILE_BYTES && text.size() != bytes.size()));
    Check((read.outcome == SettingsUsable) == (SettingsOutcomeText(read.outcome) == nullptr));
    if (read.outcome == SettingsUsable)
        Check(FirstRefusedRow(read) == -1 && !read.values[SettingRowOf("email")].empty());

    // Guards either side catch a copy past the record.
    struct Guarded {
        char before[8];
        Credentials credentials;
        char after[8];
    } guarded;
    memset(&guarded, 0x5A, sizeof(guarded));
    CredentialsFromValues(read.values, guarded.credentials);
    for (int i = 0; i < 8; ++i)
        Check(guarded.before[i] == 0x5A && guarded.after[i] == 0x5A);
    Check(Terminated(guarded.credentials.email) && Terminated(guarded.credentials.password));

    // What was read comes back the same after a save: a value read holds no
    // space, CR or LF, so it cannot break the saved lines.
    const std::string saved = ComposeSettingsText(read.values);
    const SettingsRead again = ReadSettingsText(saved.c_str(), saved.size());
    Check(again.values == read.values);
    Check(FirstRefusedRow(again) == -1);
    return 0;
}
