// The settings store on this platform's back end: a registry file in a fresh folder here, the
// system registry on Windows under a key of the test's own, removed afterwards.
#include "settings/settingsstore.h"

#include "fileio/tests/testfolder.h"
#include "settings/regtext.h"

#include <cerrno>
#include <random>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace settings;
using namespace std::string_literals;
namespace fs = std::filesystem;

class StoreTest : public testing::Test
{
protected:
    ~StoreTest() override
    {
#ifdef _WIN32
        RegDeleteTreeA(HKEY_CURRENT_USER, ("SOFTWARE\\MetrovantaTests\\" + m_run).c_str());
        // Goes only once no other run holds a key below it.
        RegDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\MetrovantaTests");
#endif
    }

    SettingsStore store() const
    {
        return SettingsStore(m_file, m_key);
    }

    TestFolder m_dir;
    const fs::path m_file = m_dir / "cfg" / "registry.reg";
    const std::string m_run = "Run" + std::to_string(std::random_device{}());
    const StoreKey m_key{RegistryRoot::CurrentUser,
                         "SOFTWARE\\MetrovantaTests\\" + m_run + "\\Settings"};
};

TEST_F(StoreTest, ReadsStringsAndDwordsAndDefaultsForEverythingElse)
{
    // A value as another program may store it, and what reading it gives.
    const std::tuple<std::string, std::uint32_t, std::string, std::string> rows[] = {
        {"WithoutNul", kRegSz, "abc", "abc"},
        {"TwoNuls", kRegSz, "a\0\0"s, "a\0"s}, // only one NUL is the terminator
        {"MinusOne", kRegDword, "\xff\xff\xff\xff", "-1"},
        {"LongDword", kRegDword, "\x05\0\0\0\0\0\0\0"s, "default"},
        {"Expand", kRegExpandSz, "5\0"s, "5"}, // UTF-16 in the file, ANSI in the registry
    };
#ifdef _WIN32
    for (const auto& [name, type, bytes, expected] : rows)
        RegSetKeyValueA(HKEY_CURRENT_USER, m_key.path.c_str(), name.c_str(), type, bytes.data(),
                        static_cast<DWORD>(bytes.size()));
#else
    RegDocument doc;
    for (const auto& [name, type, bytes, expected] : rows)
        doc.key(kHkeyCurrentUser, m_key.path).set(name, type, {bytes.begin(), bytes.end()});
    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, formatRegText(doc));
#endif
    SettingsStore s = store();
    for (const auto& [name, type, bytes, expected] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(s.read(name, "default"), expected);
    }
}

TEST_F(StoreTest, WrittenTextsReadBackInAFreshStoreWhateverTheNamesCase)
{
    SettingsStore s = store();
    // On Windows the Cyrillic text needs an ANSI code page that holds it (1251).
    for (const char* text : {"C:\\Мои документы\\\"log\".txt", " ", ""}) {
        SCOPED_TRACE(text);
        s.write("LogFile", text);
        EXPECT_TRUE(s.flush().ok());
        EXPECT_EQ(store().read("LOGFILE", "default"), *text ? text : "default");
    }
}

#ifdef _WIN32
TEST_F(StoreTest, TextOutsideTheAnsiCodePageIsRefusedNotMangled)
{
    SettingsStore s = store();
    s.write("Value", "ноты 𝄞");
    const StoreStatus flushed = s.flush();
    EXPECT_EQ(flushed.code, StoreError::RegistryFailed);
    EXPECT_EQ(flushed.systemError, ERROR_NO_UNICODE_TRANSLATION);
}
#else
// Each copy of the program saves only the values it changed, over what is on disk by then.
TEST_F(StoreTest, FileIsReplacedOnlyWithThisCopysChangesAndKeepsTheRest)
{
    // Written by hand, so that any rewrite shows in the bytes.
    const std::string text =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"Keep\"=dword:7\r\n\r\n"
        "[HKEY_CURRENT_USER\\" +
        m_key.path +
        "]\r\n\"Round\"=\"4\"\r\n\"Velic\"=\"0\"\r\n\"Logfile\"=hex(2):6c,00,6f,00,67,00,00,00\r\n";
    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, text);
    SettingsStore s = store();
    EXPECT_EQ(s.read("LogFile", ""), "log");
    s.write("round", "4");
    s.write("LogFile", "log");
    ASSERT_TRUE(s.flush().ok());
    EXPECT_EQ(readBytes(m_file), text);
    SettingsStore other = store();
    other.write("Velic", "2");
    ASSERT_TRUE(other.flush().ok());
    s.write("Velic", "0"); // as it was read
    s.write("ROUND", "5");
    ASSERT_TRUE(s.flush().ok());
    EXPECT_EQ(
        readBytes(m_file),
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Other]\n"
        "\"Keep\"=dword:00000007\n\n[HKEY_CURRENT_USER\\" +
            m_key.path +
            "]\n\"Round\"=\"5\"\n\"Velic\"=\"2\"\n\"Logfile\"=hex(2):6c,00,6f,00,67,00,00,00\n\n");
}

TEST_F(StoreTest, DamagedFileKeepsItsGoodValuesAndIsReplacedOnlyOnceCopiedAside)
{
    const std::string head =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\" + m_key.path + "]\n";
    const std::string damaged = head + "\"Round\"=\"4\"\nbroken\n\"Velic\"=hex:zz\n";
    fs::create_directories(m_file.parent_path());
    writeBytes(m_file, damaged);
    SettingsStore s = store();
    const StoreStatus opened = s.open();
    EXPECT_TRUE(opened.ok());
    EXPECT_EQ(opened.droppedLines, 2u);
    // A link planted at the copy's name, here to the file itself, takes no copy.
    fs::create_symlink(m_file, opened.copy);
    EXPECT_EQ(s.flush().code, StoreError::CopyFailed);
    EXPECT_EQ(readBytes(m_file), damaged);
    fs::remove(opened.copy);
    EXPECT_TRUE(s.flush().ok()); // written back clean though nothing changed
    EXPECT_EQ(readBytes(m_file.string() + ".damaged"), damaged);
    EXPECT_EQ(readBytes(m_file), head + "\"Round\"=\"4\"\n\n");
    EXPECT_EQ(store().open().droppedLines, 0u);
}

TEST_F(StoreTest, FileThatCannotBeReadIsNeverReplaced)
{
    const auto large = m_dir / "large.reg";
    ASSERT_EQ(::mkfifo((m_dir / "fifo.reg").c_str(), 0600), 0);
    writeBytes(large, "REGEDIT4\n");
    fs::resize_file(large, 9 << 20);
    const std::pair<fs::path, fileio::FileError> rows[] = {
        {m_dir / "fifo.reg", fileio::FileError::NotRegularFile},
        {large, fileio::FileError::TooLarge},
    };
    for (const auto& [file, error] : rows) {
        SCOPED_TRACE(file);
        SettingsStore s(file, m_key);
        s.write("Round", "9"); // a FIFO must not block here
        EXPECT_EQ(s.read("Round", "0"), "9");
        EXPECT_EQ(s.open().fileError, error);
        EXPECT_EQ(s.flush().code, StoreError::FileUnread);
    }
    EXPECT_TRUE(fs::is_fifo(m_dir / "fifo.reg"));
    EXPECT_EQ(fs::file_size(large), 9u << 20);
    EXPECT_EQ(m_dir.names(), (std::vector<std::string>{"fifo.reg", "large.reg"}));
}

TEST_F(StoreTest, UnwritableFolderKeepsTheValuesInMemory)
{
    fs::create_directory(m_dir / "locked");
    fs::permissions(m_dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    writeBytes(m_dir / "file", "");
    // A file where a folder should be: nothing to read there, and nowhere to write.
    const std::pair<fs::path, int> rows[] = {{m_dir / "locked", EACCES}, {m_dir / "file", ENOTDIR}};
    for (const auto& [folder, error] : rows) {
        SCOPED_TRACE(folder);
        if (error == EACCES && ::geteuid() == 0)
            continue; // root may write in any folder
        SettingsStore s(folder / "cfg" / "registry.reg", m_key);
        const StoreStatus opened = s.open();
        EXPECT_EQ(opened.code, StoreError::FolderUnwritable);
        EXPECT_EQ(opened.systemError, error);
        s.write("Round", "9");
        EXPECT_EQ(s.read("Round", "0"), "9");
        EXPECT_EQ(s.flush().code, StoreError::WriteFailed);
    }
}
#endif
