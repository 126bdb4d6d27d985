// The saved text, the values read from a file row by row, and the path
// beside the program.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/constants.h"
#include "base/credentials.h"
#include "settings/settings_file.h"

namespace {

const int kEmail = SettingRowOf("email");
const int kPassword = SettingRowOf("password");

std::string Compose(const char* email, const char* password)
{
    SettingsValues values = DefaultSettingsValues();
    values[kEmail] = email;
    values[kPassword] = password;
    return ComposeSettingsText(values);
}

SettingsRead Read(const std::string& text)
{
    return ReadSettingsText(text.c_str(), text.size());
}

// --- Composing -------------------------------------------------------------

struct ComposeCase {
    const char* email;
    const char* password;
    const char* expected;
};

const ComposeCase kComposeCases[] = {
    {"a@b.ru", "secret", "[socialnet.example]\r\nemail=a@b.ru\r\npassword=secret\r\n"},
    {"", "", "[socialnet.example]\r\nemail=\r\npassword=\r\n"},
    {"two words", "p a s s", "[socialnet.example]\r\nemail=two words\r\npassword=p a s s\r\n"},
    {"%s%d", "a=b", "[socialnet.example]\r\nemail=%s%d\r\npassword=a=b\r\n"},
    {"\xCF\xF0\xE8", "\xE2\xE5\xF2",
        "[socialnet.example]\r\nemail=\xCF\xF0\xE8\r\npassword=\xE2\xE5\xF2\r\n"},
};

TEST(SettingsCompose, WritesExactlyThreeLines)
{
    for (const ComposeCase& c : kComposeCases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(c.expected, Compose(c.email, c.password));
    }
}

TEST(SettingsCompose, LongValuesAreWrittenWhole)
{
    // Both fields full: far more than 260 bytes in all.
    const std::string email(CREDENTIAL_FIELD_SIZE - 1, 'e');
    const std::string password(CREDENTIAL_FIELD_SIZE - 1, 'p');
    const std::string text = Compose(email.c_str(), password.c_str());
    EXPECT_EQ("[" SERVICE_DOMAIN "]\r\nemail=" + email + "\r\npassword=" + password + "\r\n", text);
    EXPECT_GT(text.size(), 260u);
}

TEST(SettingsCompose, ParsesBackToTheSameValues)
{
    const std::string email(CREDENTIAL_FIELD_SIZE - 1, 'e');
    const char* const passwords[] = {"x", "a=b", "[s]", ";p", ""};
    for (const char* password : passwords) {
        SCOPED_TRACE(password);
        SettingsSections sections;
        EXPECT_EQ(3, SettingsFile::Parse(Compose(email.c_str(), password).c_str(), sections));
        const SettingsRead read = Read(Compose(email.c_str(), password));
        EXPECT_EQ(email, read.values[kEmail]);
        EXPECT_EQ(password, read.values[kPassword]);
    }
}

// --- The values read whole ----------------------------------------------------

struct SelectCase {
    const char* text;
    const char* email;
    const char* password;
};

const SelectCase kSelectCases[] = {
    {"[socialnet.example]\r\nemail=a@b.ru\r\npassword=secret\r\n", "a@b.ru", "secret"},
    {"[socialnet.example]\r\nemail=a@b.ru\r\npassword=secret", "a@b.ru", "secret"},
    {"[socialnet.example]\nemail=a@b.ru\npassword=secret\n", "a@b.ru", "secret"},
    {"[socialnet.example]\r\nemail=a@b.ru\npassword=secret\r\n", "a@b.ru", "secret"},
    {"email=a@b.ru", "", ""},
    {"[socialnet.example]\r\nemail=two words\r\npassword=p w\r\n", "twowords", "pw"},
    {"email=a@b.ru\r\npassword=secret\r\n", "", ""},
    {"[socialnet.example]\r\nemail=first\r\nemail=second\r\n", "first", ""},
    {"[socialnet.example]\r\nemail=\r\npassword=x\r\n", "", "x"},
    {"[socialnet.example]\r\npassword=a=b=\r\n", "", "a=b="},
    {"[SocialNet.Example]\r\nemail=a\r\n", "", ""},
    {"[socialnet.example]\r\nEmail=a\r\nPASSWORD=b\r\n", "", ""},
    {"[other]\r\nemail=x\r\n[socialnet.example]\r\npassword=y\r\n[other]\r\nemail=z\r\n", "", "y"},
    {"[socialnet.example\r\nemail=open\r\n", "open", ""},
    // A line end inside a value would break the login request: not used.
    {"[socialnet.example]\r\nemail=a\r \nb\r\npassword=ok\r\n", "", "ok"},
    {"[socialnet.example]\r\nemail=ok\r\npassword=a\nb\r\n", "ok", "a"},
    {"[socialnet.example]\r\nemail=a\r\r\npassword=\tt\r\n", "", "\tt"},
};

TEST(SettingsSelect, PicksTheServiceSection)
{
    for (const SelectCase& c : kSelectCases) {
        SCOPED_TRACE(c.text);
        const SettingsRead read = Read(c.text);
        EXPECT_EQ(c.email, read.values[kEmail]);
        EXPECT_EQ(c.password, read.values[kPassword]);
    }
}

TEST(SettingsSelect, OversizedValueIsRefusedNotCutAndNeverWrittenPastTheRecord)
{
    const std::string longest(CREDENTIAL_FIELD_SIZE - 1, 'a');
    const SettingsRead whole = Read("[" SERVICE_DOMAIN "]\nemail=" + longest + "\npassword=" + longest);
    EXPECT_EQ(longest, whole.values[kEmail]);
    EXPECT_EQ(longest, whole.values[kPassword]);

    const SettingsRead refused = Read("[" SERVICE_DOMAIN "]\nemail=" + longest + "a\npassword=" + longest);
    EXPECT_EQ("", refused.values[kEmail]);
    EXPECT_TRUE(refused.refused[kEmail]);
    EXPECT_EQ(longest, refused.values[kPassword]);

    // Guards around the record catch a write past either field.
    struct Guarded {
        char before[16];
        Credentials credentials;
        char after[16];
    } guarded;
    memset(&guarded, 0x5A, sizeof(guarded));
    SettingsValues values = DefaultSettingsValues();
    values[kEmail] = std::string(CREDENTIAL_FIELD_SIZE, 'a');
    values[kPassword] = std::string(10000, 'b');
    CredentialsFromValues(values, guarded.credentials);
    EXPECT_EQ(longest, guarded.credentials.email);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(0x5A, static_cast<unsigned char>(guarded.before[i]));
        EXPECT_EQ(0x5A, static_cast<unsigned char>(guarded.after[i]));
    }
}

TEST(SettingsSelect, ShorterValueClearsTheRestOfTheField)
{
    Credentials credentials;
    memset(&credentials, 'x', sizeof(credentials));
    SettingsValues values = DefaultSettingsValues();
    values[kEmail] = "ab";
    values[kPassword] = "c";
    CredentialsFromValues(values, credentials);
    for (int i = 2; i < CREDENTIAL_FIELD_SIZE; ++i)
        ASSERT_EQ('\0', credentials.email[i]) << i;
    for (int i = 1; i < CREDENTIAL_FIELD_SIZE; ++i)
        ASSERT_EQ('\0', credentials.password[i]) << i;
}

// --- What start-up makes of an existing file ---------------------------------

struct OutcomeCase {
    const char* name;
    std::string text;
    SettingsOutcome outcome;
    const char* email;  // read whole, also from a file that is refused
    const char* password;
    const wchar_t* status;  // null: the outcome's own text
};

const std::string kHeader = "[" SERVICE_DOMAIN "]";

// text as Notepad saves it as "Unicode".
std::string Utf16(const std::wstring& text)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}
const std::string kFull(CREDENTIAL_FIELD_SIZE - 1, 'v');
const std::string kOver(CREDENTIAL_FIELD_SIZE, 'v');

const OutcomeCase kOutcomes[] = {
    {"CR LF", kHeader + "\r\nemail=a@b.ru\r\npassword=p\r\n", SettingsUsable, "a@b.ru", "p", nullptr},
    {"LF only", kHeader + "\nemail=a@b.ru\npassword=p\n", SettingsUsable, "a@b.ru", "p", nullptr},
    {"mixed", kHeader + "\r\nemail=a@b.ru\npassword=p", SettingsUsable, "a@b.ru", "p", nullptr},
    {"no password", kHeader + "\nemail=a@b.ru\n", SettingsUsable, "a@b.ru", "", nullptr},
    {"values that fill the fields", kHeader + "\nemail=" + kFull + "\npassword=" + kFull + "\n",
        SettingsUsable, kFull.c_str(), kFull.c_str(), nullptr},
    {"empty file", "", SettingsNoEmail, "", "", nullptr},
    {"no service section", "[other]\nemail=a@b.ru\n", SettingsNoEmail, "", "", nullptr},
    {"empty e-mail", kHeader + "\nemail=\npassword=p\n", SettingsNoEmail, "", "p", nullptr},
    {"one line, no line end", "email=a@b.ru", SettingsNoEmail, "", "", nullptr},
    {"CR alone ends the lines", kHeader + "\remail=a@b.ru\rpassword=p\r", SettingsCrLineEnds, "", "",
        nullptr},
    {"e-mail too long", kHeader + "\nemail=" + kOver + "\npassword=p\n", SettingsValueTooLong, "", "p",
        L"Слишком длинное значение в settings.txt: введите заново «Email»"},
    {"password too long", kHeader + "\nemail=a@b.ru\npassword=" + kOver + "\n", SettingsValueTooLong,
        "a@b.ru", "", L"Слишком длинное значение в settings.txt: введите заново «Пароль»"},
    {"too long beats missing", kHeader + "\npassword=" + kOver + "\n", SettingsValueTooLong, "", "", nullptr},
    {"CR inside the e-mail", kHeader + "\nemail=a\rb\npassword=p\n", SettingsBadValue, "", "p", nullptr},
    {"NUL byte", kHeader + std::string("\nemail=a@b.ru\0\npassword=p\n", 26), SettingsHasNul, "", "p",
        L"settings.txt испорчен: нулевой байт: введите заново «Email»"},
    {"UTF-16", Utf16(L"[socialnet.example]\r\nemail=a@b.ru\r\npassword=Пароль\r\n"), SettingsUtf16, "a@b.ru",
        "\xCF\xE0\xF0\xEE\xEB\xFC", L"settings.txt в UTF-16, нужна Windows-1251"},
    {"UTF-16 with a character Windows-1251 lacks",
        Utf16(L"[socialnet.example]\r\nemail=a@b.ru\r\npassword=ü\r\n"), SettingsUtf16, "a@b.ru", "",
        L"settings.txt в UTF-16, нужна Windows-1251: введите заново «Пароль»"},
    {"NUL byte at the very end", kHeader + std::string("\nemail=a@b.ru\n\0", 16), SettingsHasNul, "a@b.ru",
        "", L"settings.txt испорчен: нулевой байт"},
};

TEST(SettingsOutcome, JudgesTheWholeFileAndKeepsEveryValueReadWhole)
{
    for (const OutcomeCase& c : kOutcomes) {
        SCOPED_TRACE(c.name);
        const SettingsRead read = Read(c.text);
        EXPECT_EQ(c.outcome, read.outcome);
        EXPECT_EQ(c.email, read.values[kEmail]);
        EXPECT_EQ(c.password, read.values[kPassword]);
        // Every problem has a text of its own; usable files have none.
        const wchar_t* text = SettingsOutcomeText(c.outcome);
        EXPECT_EQ(c.outcome == SettingsUsable, text == nullptr);
        if (c.status)
            EXPECT_EQ(std::wstring(c.status), SettingsReadText(read));
    }
}

TEST(SettingsOutcome, SizeLimitIsTheReadersAndProblemsAreNamedApart)
{
    const std::string head = kHeader + "\nemail=a@b.ru\n";
    const std::string largest = head + std::string(SETTINGS_MAX_FILE_BYTES - head.size(), 'x');
    ASSERT_EQ(static_cast<size_t>(SETTINGS_MAX_FILE_BYTES), largest.size());
    EXPECT_EQ(SettingsUsable, Read(largest).outcome);
    EXPECT_EQ(SettingsTooLarge, Read(largest + "x").outcome);

    const SettingsOutcome problems[] = {SettingsUnreadable, SettingsTooLarge, SettingsHasNul,
        SettingsValueTooLong, SettingsBadValue, SettingsNoEmail, SettingsCrLineEnds, SettingsUtf16};
    for (SettingsOutcome a : problems)
        for (SettingsOutcome b : problems)
            EXPECT_EQ(a == b, std::wstring(SettingsOutcomeText(a)) == SettingsOutcomeText(b))
                << a << " " << b;
    EXPECT_EQ(nullptr, SettingsOutcomeText(SettingsAbsent));
}

// --- The path beside the program --------------------------------------------

struct PathCase {
    const wchar_t* modulePath;
    const wchar_t* fileName;
    bool ok;
    const wchar_t* expected;
};

const PathCase kPathCases[] = {
    {L"C:\\Program Files\\Sorvinta\\Sorvinta.exe", L"settings.txt", true,
        L"C:\\Program Files\\Sorvinta\\settings.txt"},
    {L"\\Program Files\\Sorvinta.exe", L"settings.txt", true, L"\\Program Files\\settings.txt"},
    {L"\\Sorvinta.exe", L"settings.txt.new", true, L"\\settings.txt.new"},
    {L"C:\\a\\", L"settings.txt", true, L"C:\\a\\settings.txt"},
    {L"Sorvinta.exe", L"settings.txt", false, L""},
    {L"", L"settings.txt", false, L""},
};

TEST(SettingsPath, FolderOfTheProgramPlusName)
{
    for (const PathCase& c : kPathCases) {
        wchar_t path[SETTINGS_PATH_SIZE];
        wmemset(path, L'#', SETTINGS_PATH_SIZE);
        EXPECT_EQ(c.ok, JoinSettingsPath(c.modulePath, c.fileName, path, SETTINGS_PATH_SIZE));
        EXPECT_EQ(std::wstring(c.expected), std::wstring(path));
    }
}

TEST(SettingsPath, LongestThatFitsAndOneMore)
{
    const std::wstring name = L"settings.txt";
    // Folder plus name taking exactly 259 characters, then the terminator.
    const std::wstring folder
        = L"C:\\" + std::wstring(SETTINGS_PATH_SIZE - 1 - 3 - 1 - name.size(), L'd') + L"\\";
    const std::wstring module = folder + L"Sorvinta.exe";

    wchar_t path[SETTINGS_PATH_SIZE + 4];
    wmemset(path, L'#', SETTINGS_PATH_SIZE + 4);
    ASSERT_TRUE(JoinSettingsPath(module.c_str(), name.c_str(), path, SETTINGS_PATH_SIZE));
    EXPECT_EQ(folder + name, std::wstring(path));
    EXPECT_EQ(static_cast<size_t>(SETTINGS_PATH_SIZE - 1), wcslen(path));

    const std::wstring longer = L"C:\\d" + folder.substr(3) + L"Sorvinta.exe";
    wmemset(path, L'#', SETTINGS_PATH_SIZE + 4);
    EXPECT_FALSE(JoinSettingsPath(longer.c_str(), name.c_str(), path, SETTINGS_PATH_SIZE));
    EXPECT_EQ(L'\0', path[0]);
    for (int i = SETTINGS_PATH_SIZE; i < SETTINGS_PATH_SIZE + 4; ++i)
        EXPECT_EQ(L'#', path[i]);  // nothing written past the buffer
}

TEST(SettingsPath, TinyOrMissingBuffers)
{
    wchar_t path[4] = {L'#', L'#', L'#', L'#'};
    EXPECT_FALSE(JoinSettingsPath(L"C:\\a.exe", L"settings.txt", path, 4));
    EXPECT_EQ(L'\0', path[0]);
    EXPECT_EQ(L'#', path[3]);
    EXPECT_FALSE(JoinSettingsPath(L"C:\\a.exe", L"settings.txt", path, 0));
    EXPECT_FALSE(JoinSettingsPath(L"C:\\a.exe", L"settings.txt", nullptr, 260));
    EXPECT_FALSE(JoinSettingsPath(nullptr, L"settings.txt", path, 4));
}

}  // namespace
