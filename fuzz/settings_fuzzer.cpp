// settings.txt as anyone may have edited it: the parser, the pick of the two
// credentials, and a save of what was picked read back again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/constants.h"
#include "base/credentials.h"
#include "settings/settings_autoconnect.h"
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

    // Guards either side catch a copy past the record.
    struct Guarded {
        char before[8];
        Credentials credentials;
        char after[8];
    } guarded;
    memset(&guarded, 0x5A, sizeof(guarded));
    memset(&guarded.credentials, 0, sizeof(guarded.credentials));
    SelectCredentials(sections, guarded.credentials);
    for (int i = 0; i < 8; ++i)
        Check(guarded.before[i] == 0x5A && guarded.after[i] == 0x5A);
    Check(Terminated(guarded.credentials.email) && Terminated(guarded.credentials.password));

    const auto service = sections.find(SERVICE_DOMAIN);
    const char* const keys[] = {"email", "password"};
    const char* const fields[] = {guarded.credentials.email, guarded.credentials.password};
    for (int i = 0; i < 2; ++i) {
        std::string expected;
        if (service != sections.end()) {
            const auto value = service->second.find(keys[i]);
            if (value != service->second.end() && value->second.size() < CREDENTIAL_FIELD_SIZE
                && value->second.find_first_of("\r\n") == std::string::npos)
                expected = value->second;
        }
        Check(expected == fields[i]);
    }

    // What was loaded comes back the same after a save: a loaded value holds
    // no space, CR or LF, so it cannot break the saved lines.
    const std::string saved = ComposeSettingsText(guarded.credentials.email, guarded.credentials.password);
    SettingsSections reread;
    Check(SettingsFile::Parse(saved.c_str(), reread) == 3);
    Credentials again = {};
    SelectCredentials(reread, again);
    Check(strcmp(again.email, guarded.credentials.email) == 0);
    Check(strcmp(again.password, guarded.credentials.password) == 0);

    // So does the connect-at-start choice, and its line changes no credential.
    const bool autoConnect = SelectAutoConnect(sections);
    SettingsSections withChoice;
    SettingsFile::Parse(
        ComposeSettingsTextWith(guarded.credentials.email, guarded.credentials.password, autoConnect).c_str(),
        withChoice);
    Check(SelectAutoConnect(withChoice) == autoConnect);
    Credentials alongside = {};
    SelectCredentials(withChoice, alongside);
    Check(memcmp(&alongside, &again, sizeof(again)) == 0);

    // The start-up judgement of the same bytes, NULs included: only a usable
    // file fills the record, and then with a non-empty e-mail.
    memset(&guarded, 0x5A, sizeof(guarded));
    memset(&guarded.credentials, 0, sizeof(guarded.credentials));
    const SettingsOutcome outcome = ReadSettingsText(bytes.data(), bytes.size(), guarded.credentials);
    for (int i = 0; i < 8; ++i)
        Check(guarded.before[i] == 0x5A && guarded.after[i] == 0x5A);
    Check(Terminated(guarded.credentials.email) && Terminated(guarded.credentials.password));
    Check((outcome == SettingsUsable) == (guarded.credentials.email[0] != '\0'));
    Check((outcome == SettingsHasNul)
        == (bytes.size() <= SETTINGS_MAX_FILE_BYTES && text.size() != bytes.size()));
    Check((outcome == SettingsUsable) == (SettingsOutcomeText(outcome) == nullptr));
    return 0;
}
