// settings.txt on disk, beside this test program: saving, loading into
// g_credentials, and what a broken save or a strange file must not do.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/app_state.h"
#include "base/constants.h"
#include "settings/settings_file.h"
#include "settings/settings_texts.h"

namespace {

std::wstring PathBesideProgram(const wchar_t* name)
{
    wchar_t module[MAX_PATH];
    const DWORD length = GetModuleFileNameW(NULL, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::wstring();
    std::wstring path(module, length);
    return path.substr(0, path.rfind(L'\\') + 1) + name;
}

bool ReadBytes(const std::wstring& path, std::string* bytes)
{
    HANDLE file = CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &got, NULL) && got > 0)
        bytes->append(chunk, got);
    CloseHandle(file);
    return true;
}

bool WriteBytes(const std::wstring& path, const std::string& bytes)
{
    HANDLE file
        = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD wrote = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, NULL);
    CloseHandle(file);
    return ok && wrote == bytes.size();
}

bool Exists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Remove(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveDirectoryW(path.c_str());
        return;
    }
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
}

std::string Saved(const std::string& email, const std::string& password)
{
    return "[" SERVICE_DOMAIN "]\r\nemail=" + email + "\r\npassword=" + password + "\r\n";
}

SettingsValues Values(const std::string& email, const std::string& password)
{
    SettingsValues values = DefaultSettingsValues();
    values[SettingRowOf("email")] = email;
    values[SettingRowOf("password")] = password;
    return values;
}

SettingsSaveResult Save(const std::string& email, const std::string& password)
{
    return SaveSettings(Values(email, password));
}

// Each test starts without settings.txt and with empty credentials, and
// leaves the folder as it found it.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_settingsPath = PathBesideProgram(L"settings.txt");
        m_temporaryPath = PathBesideProgram(SETTINGS_TEMP_FILE_NAME);
        ASSERT_FALSE(m_settingsPath.empty());
        m_hadSettings = ReadBytes(m_settingsPath, &m_previous);
        Remove(m_settingsPath);
        Remove(m_temporaryPath);
        ASSERT_FALSE(Exists(m_settingsPath));
        memset(&g_credentials, 0, sizeof(g_credentials));
    }

    void TearDown() override
    {
        Remove(m_settingsPath);
        Remove(m_temporaryPath);
        if (m_hadSettings)
            WriteBytes(m_settingsPath, m_previous);
        memset(&g_credentials, 0, sizeof(g_credentials));
    }

    std::string OnDisk()
    {
        std::string bytes;
        EXPECT_TRUE(ReadBytes(m_settingsPath, &bytes));
        return bytes;
    }

    void LoadFrom(const std::string& bytes)
    {
        ASSERT_TRUE(WriteBytes(m_settingsPath, bytes));
        memset(&g_credentials, 0, sizeof(g_credentials));
        LoadSettings();
    }

    std::wstring m_settingsPath;
    std::wstring m_temporaryPath;
    bool m_hadSettings = false;
    std::string m_previous;
};

// --- Saving and loading back -----------------------------------------------

TEST_F(SettingsFileTest, SaveWritesThreeLinesAndLoadsBack)
{
    Save("user@mail.ru", "secret");
    EXPECT_EQ(Saved("user@mail.ru", "secret"), OnDisk());
    EXPECT_FALSE(Exists(m_temporaryPath));

    LoadSettings();
    EXPECT_STREQ("user@mail.ru", g_credentials.email);
    EXPECT_STREQ("secret", g_credentials.password);
}

TEST_F(SettingsFileTest, SaveReplacesALongerFileWhole)
{
    std::string longer = "[other]\r\nkey=" + std::string(2000, 'x') + "\r\n";
    longer += Saved("old@mail.ru", "oldpassword") + "[more]\r\na=b\r\n";
    ASSERT_TRUE(WriteBytes(m_settingsPath, longer));

    Save("a@b.ru", "p");
    EXPECT_EQ(Saved("a@b.ru", "p"), OnDisk());
}

TEST_F(SettingsFileTest, SaveOfFullFieldsIsNotCut)
{
    const std::string email(CREDENTIAL_FIELD_SIZE - 1, 'e');
    const std::string password(CREDENTIAL_FIELD_SIZE - 1, 'p');
    Save(email.c_str(), password.c_str());
    EXPECT_EQ(Saved(email, password), OnDisk());

    LoadSettings();
    EXPECT_EQ(email, std::string(g_credentials.email));
    EXPECT_EQ(password, std::string(g_credentials.password));
}

TEST_F(SettingsFileTest, SpacesAreLostOnReading)
{
    Save("two words@mail.ru", "pass word");
    EXPECT_EQ(Saved("two words@mail.ru", "pass word"), OnDisk());  // kept in the file
    LoadSettings();
    EXPECT_STREQ("twowords@mail.ru", g_credentials.email);
    EXPECT_STREQ("password", g_credentials.password);
}

TEST_F(SettingsFileTest, CyrillicBytesPassUnchanged)
{
    Save("\xEF\xEE\xF7\xF2\xE0@mail.ru", "\xEF\xE0\xF0\xEE\xEB\xFC");
    LoadSettings();
    EXPECT_STREQ("\xEF\xEE\xF7\xF2\xE0@mail.ru", g_credentials.email);
    EXPECT_STREQ("\xEF\xE0\xF0\xEE\xEB\xFC", g_credentials.password);
}

// --- Loading what a user may have left ---------------------------------------

struct LoadCase {
    const char* name;
    std::string bytes;
    const char* email;
    const char* password;
    const wchar_t* problem;  // what start-up and the connect command say; null: nothing
};

std::wstring Text(const wchar_t* text)
{
    return text ? text : L"(none)";
}

TEST_F(SettingsFileTest, LoadsOnlyTheServiceSectionAndNamesWhatIsWrong)
{
    static const char kWithNul[] = "[socialnet.example]\r\nemail=a\0\r\npassword=b\r\n";
    const std::string tooLong(CREDENTIAL_FIELD_SIZE, 'a');
    const LoadCase cases[] = {
        {"no final line end", "[socialnet.example]\r\nemail=a@b.ru\r\npassword=s", "a@b.ru", "s", nullptr},
        {"LF alone", "[socialnet.example]\nemail=a@b.ru\npassword=s\n", "a@b.ru", "s", nullptr},
        {"mixed line ends", "[socialnet.example]\nemail=a@b.ru\r\npassword=s\n", "a@b.ru", "s", nullptr},
        {"first wins", "[socialnet.example]\r\nemail=1\r\nemail=2\r\npassword=\r\n", "1", "", nullptr},
        {"single line", "email=a@b.ru", "", "", TEXT_SETTINGS_NO_EMAIL},
        {"before any header", "email=a@b.ru\r\npassword=s\r\n", "", "", TEXT_SETTINGS_NO_EMAIL},
        {"no e-mail", "[socialnet.example]\r\npassword=x=y\r\n", "", "", TEXT_SETTINGS_NO_EMAIL},
        {"empty file", "", "", "", TEXT_SETTINGS_NO_EMAIL},
        {"NUL byte", std::string(kWithNul, sizeof(kWithNul) - 1), "", "",
            L"settings.txt испорчен: нулевой байт: введите заново «Email»"},
        {"e-mail too long", Saved(tooLong, "ok"), "", "",
            L"Слишком длинное значение в settings.txt: введите заново «Email»"},
        {"password too long", Saved("ok", std::string(5000, 'b')), "", "",
            L"Слишком длинное значение в settings.txt: введите заново «Пароль»"},
        {"CR alone", "[socialnet.example]\remail=a@b.ru\rpassword=s\r", "", "", TEXT_SETTINGS_CR_LINE_ENDS},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        LoadFrom(c.bytes);
        EXPECT_STREQ(c.email, g_credentials.email);
        EXPECT_STREQ(c.password, g_credentials.password);
        EXPECT_EQ(Text(c.problem), Text(SettingsProblemText()));
    }
}

TEST_F(SettingsFileTest, MissingFileLeavesFieldsEmptyAndSaysNothing)
{
    LoadFrom(std::string());
    ASSERT_NE(nullptr, SettingsProblemText());
    Remove(m_settingsPath);
    LoadSettings();
    EXPECT_STREQ("", g_credentials.email);
    EXPECT_STREQ("", g_credentials.password);
    EXPECT_EQ(INVALID_HANDLE_VALUE, g_settingsFile.handle);
    EXPECT_EQ(nullptr, SettingsProblemText());
}

TEST_F(SettingsFileTest, AFileThatCannotBeOpenedIsUnreadable)
{
    // A folder by that name: there, but no file to read.
    ASSERT_TRUE(CreateDirectoryW(m_settingsPath.c_str(), NULL));
    LoadSettings();
    RemoveDirectoryW(m_settingsPath.c_str());
    EXPECT_EQ(Text(TEXT_SETTINGS_UNREADABLE), Text(SettingsProblemText()));
    EXPECT_STREQ("", g_credentials.email);
}

TEST_F(SettingsFileTest, ASaveEndsTheProblem)
{
    LoadFrom("[socialnet.example]\nemail=\n");
    ASSERT_EQ(Text(TEXT_SETTINGS_NO_EMAIL), Text(SettingsProblemText()));
    Save("a@b.ru", "p");
    EXPECT_EQ(nullptr, SettingsProblemText());
}

TEST_F(SettingsFileTest, OversizedFileIsNotRead)
{
    const std::string head = Saved("a@b.ru", "s");
    std::string text = head + std::string(SETTINGS_MAX_FILE_BYTES - head.size(), 'z');
    LoadFrom(text);  // exactly the limit: still read
    EXPECT_STREQ("a@b.ru", g_credentials.email);
    EXPECT_EQ(nullptr, SettingsProblemText());

    text += 'z';
    LoadFrom(text);
    EXPECT_STREQ("", g_credentials.email);
    EXPECT_STREQ("", g_credentials.password);
    EXPECT_EQ(Text(TEXT_SETTINGS_TOO_LARGE), Text(SettingsProblemText()));

    LoadFrom(head + std::string(1 << 20, '\0'));
    EXPECT_STREQ("", g_credentials.email);
    EXPECT_EQ(Text(TEXT_SETTINGS_TOO_LARGE), Text(SettingsProblemText()));
}

// --- Keeping the previous file when a save fails -----------------------------

struct FailedSaveCase {
    const char* name;
    const wchar_t* obstacle;  // made a folder; null: none
    DWORD attributes;         // given to settings.txt
    std::string email;
    SettingsSaveResult result;
    const wchar_t* text;
};

TEST_F(SettingsFileTest, AFailedSaveSaysWhyAndChangesNothing)
{
    const FailedSaveCase cases[] = {
        {"read-only settings.txt", nullptr, FILE_ATTRIBUTE_READONLY, "new@mail.ru", SettingsSaveReadOnly,
            L"Настройки не сохранены: settings.txt только для чтения"},
        {"settings.tmp a folder", SETTINGS_TEMP_FILE_NAME, 0, "new@mail.ru", SettingsSaveTempIsFolder,
            L"Настройки не сохранены: settings.tmp - это папка"},
        // Written as it is, this e-mail would put a password line of its own into the file.
        {"CR LF in a value", nullptr, 0, "a\r\npassword=x", SettingsSaveLineEnd,
            L"Настройки не сохранены: перевод строки в значении"},
        {"LF in a value", nullptr, 0, "a\nb", SettingsSaveLineEnd,
            L"Настройки не сохранены: перевод строки в значении"},
    };
    for (const FailedSaveCase& c : cases) {
        SCOPED_TRACE(c.name);
        LoadFrom(Saved("old@mail.ru", "old"));
        const std::wstring target = c.obstacle == nullptr ? m_settingsPath : PathBesideProgram(c.obstacle);
        if (c.obstacle != nullptr)
            ASSERT_TRUE(CreateDirectoryW(target.c_str(), NULL));
        const DWORD before = GetFileAttributesW(target.c_str());
        if (c.attributes)
            ASSERT_TRUE(SetFileAttributesW(target.c_str(), before | c.attributes));

        EXPECT_EQ(c.result, Save(c.email, "new"));
        EXPECT_EQ(std::wstring(c.text), SettingsSaveText(c.result));
        EXPECT_EQ(
            before | c.attributes, GetFileAttributesW(target.c_str()));  // neither replaced nor stripped
        SetFileAttributesW(target.c_str(), before);
        EXPECT_EQ(Saved("old@mail.ru", "old"), OnDisk());
        EXPECT_EQ("old@mail.ru", SettingsFileRead().values[SettingRowOf("email")]);
        EXPECT_FALSE(Exists(m_temporaryPath) && target != m_temporaryPath);
        EXPECT_EQ(INVALID_HANDLE_VALUE, g_settingsFile.handle);
        if (c.obstacle != nullptr)
            RemoveDirectoryW(target.c_str());
    }
}

// Wine keeps no read-only attribute on a folder, so this one runs from a
// copy of the program in a folder without write bits, by a test entry of
// its own that sets SORVINTA_READ_ONLY_FOLDER (root may write there all the
// same; the folder's attribute is what the save respects).
TEST_F(SettingsFileTest, ASaveIntoAReadOnlyFolderSaysSoAndWritesNothing)
{
    if (!getenv("SORVINTA_READ_ONLY_FOLDER"))
        GTEST_SKIP() << "run from a read-only folder only";
    const std::wstring folder = m_settingsPath.substr(0, m_settingsPath.rfind(L'\\'));
    ASSERT_NE(0u, GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(SettingsSaveFolderReadOnly, Save("new@mail.ru", "new"));
    EXPECT_EQ(L"Настройки не сохранены: папка программы только для чтения",
        SettingsSaveText(SettingsSaveFolderReadOnly));
    EXPECT_FALSE(Exists(m_settingsPath));
    EXPECT_FALSE(Exists(m_temporaryPath));
}

TEST_F(SettingsFileTest, FailedReplaceKeepsOldFileAndRemovesNewOne)
{
    ASSERT_TRUE(WriteBytes(m_settingsPath, Saved("old@mail.ru", "old")));
    // Another reader holds the old file open without delete sharing, so it
    // cannot be replaced.
    HANDLE reader = CreateFileW(m_settingsPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_EQ(SettingsSaveWriteFailed, Save("new@mail.ru", "new"));
    CloseHandle(reader);

    EXPECT_EQ(Saved("old@mail.ru", "old"), OnDisk());
    EXPECT_FALSE(Exists(m_temporaryPath));
}

TEST_F(SettingsFileTest, ASettingsFolderIsNamedAndNothingIsWritten)
{
    ASSERT_TRUE(CreateDirectoryW(m_settingsPath.c_str(), NULL));
    EXPECT_EQ(SettingsSaveFileIsFolder, Save("new@mail.ru", "new"));
    EXPECT_EQ(
        L"Настройки не сохранены: settings.txt - это папка", SettingsSaveText(SettingsSaveFileIsFolder));
    EXPECT_NE(0u, GetFileAttributesW(m_settingsPath.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Exists(m_temporaryPath));
}

// --- The file operations themselves ------------------------------------------

TEST_F(SettingsFileTest, OpenFindsTheFileBesideTheProgram)
{
    SettingsFile file;
    EXPECT_FALSE(file.Open(L"settings.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);

    ASSERT_TRUE(file.Open(L"settings.txt", GENERIC_WRITE, CREATE_ALWAYS));
    EXPECT_EQ(5, file.Write(file.handle, "hello"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);
    EXPECT_EQ("hello", OnDisk());
}

TEST_F(SettingsFileTest, ReadAllReturnsEveryByteAndCloses)
{
    std::string bytes;
    for (int i = 0; i < 1000; ++i)
        bytes += static_cast<char>(i * 7);  // NULs and all, over several chunks
    ASSERT_TRUE(WriteBytes(m_settingsPath, bytes));

    SettingsFile file;
    ASSERT_TRUE(file.Open(L"settings.txt", GENERIC_READ, OPEN_EXISTING));
    char* text = NULL;
    ASSERT_EQ(1000, file.ReadAll(file.handle, &text));
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(bytes, std::string(text, 1000));
    EXPECT_EQ('\0', text[1000]);
    free(text);
    // Closed: nothing holds the file open any more.
    EXPECT_TRUE(DeleteFileW(m_settingsPath.c_str()));
}

TEST_F(SettingsFileTest, ReadAllOfEmptyFileGivesEmptyText)
{
    ASSERT_TRUE(WriteBytes(m_settingsPath, ""));
    SettingsFile file;
    ASSERT_TRUE(file.Open(L"settings.txt", GENERIC_READ, OPEN_EXISTING));
    char* text = NULL;
    EXPECT_EQ(0, file.ReadAll(file.handle, &text));
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("", text);
    free(text);
}

TEST_F(SettingsFileTest, ReadAllRefusesOversizedFileAndCloses)
{
    ASSERT_TRUE(WriteBytes(m_settingsPath, std::string(SETTINGS_MAX_FILE_BYTES + 1, 'x')));
    SettingsFile file;
    ASSERT_TRUE(file.Open(L"settings.txt", GENERIC_READ, OPEN_EXISTING));
    char* text = reinterpret_cast<char*>(1);
    EXPECT_EQ(-1, file.ReadAll(file.handle, &text));
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);
    EXPECT_TRUE(DeleteFileW(m_settingsPath.c_str()));
}

TEST_F(SettingsFileTest, FailedWriteReturnsMinusOneAndCloses)
{
    ASSERT_TRUE(WriteBytes(m_settingsPath, "old"));
    SettingsFile file;
    ASSERT_TRUE(file.Open(L"settings.txt", GENERIC_READ, OPEN_EXISTING));
    EXPECT_EQ(-1, file.Write(file.handle, "new text"));
    EXPECT_EQ(INVALID_HANDLE_VALUE, file.handle);
    EXPECT_EQ("old", OnDisk());
    EXPECT_TRUE(DeleteFileW(m_settingsPath.c_str()));
}

}  // namespace
