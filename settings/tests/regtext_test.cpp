#include "settings/regtext.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

using namespace settings;

namespace
{

std::vector<std::uint8_t> bytesOf(std::string_view s)
{
    return {s.begin(), s.end()};
}

const RegValue* valueIn(RegDocument& doc, std::string_view path, std::string_view name)
{
    const RegKeyNode* key = doc.findKey(kHkeyLocalMachine, path);
    return key != nullptr ? key->find(name) : nullptr;
}

std::string utf16le(std::string_view ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

} // namespace

TEST(RegText, EveryValueFormWritesAndReadsBackTheSameBytes)
{
    struct Row {
        const char* what;
        std::uint32_t type;
        std::vector<std::uint8_t> data;
        const char* line;
    };
    const Row rows[] = {
        {"plain text", kRegSz, bytesOf(std::string_view("log.txt\0", 8)), R"("V"="log.txt")"},
        {"escapes", kRegSz, bytesOf(std::string_view("C:\\a \"b\"\0", 9)), R"("V"="C:\\a \"b\"")"},
        {"utf-8 text", kRegSz, bytesOf(std::string_view("Длина\0", 11)), R"("V"="Длина")"},
        {"empty text", kRegSz, {0}, R"("V"="")"},
        {"no final NUL", kRegSz, bytesOf("abc"), R"("V"=hex(1):61,62,63)"},
        {"two final NULs", kRegSz, bytesOf(std::string_view("a\0\0", 3)), R"("V"=hex(1):61,00,00)"},
        {"no bytes", kRegSz, {}, R"("V"=hex(1):)"},
        {"line break", kRegSz, bytesOf(std::string_view("a\nb\0", 4)), R"("V"=hex(1):61,0a,62,00)"},
        {"dword", kRegDword, {0x2a, 0, 0, 0}, R"("V"=dword:0000002a)"},
        {"negative dword", kRegDword, {0xff, 0xff, 0xff, 0xff}, R"("V"=dword:ffffffff)"},
        {"short dword", kRegDword, {1, 2}, R"("V"=hex(4):01,02)"},
        {"binary", kRegBinary, {0x00, 0xab, 0x10}, R"("V"=hex:00,ab,10)"},
        {"expand text", kRegExpandSz, bytesOf(std::string_view("%HOME%\0", 7)),
         R"("V"=hex(2):25,48,4f,4d,45,25,00)"},
        {"qword", 11, {1, 0, 0, 0, 0, 0, 0, 0}, R"("V"=hex(b):01,00,00,00,00,00,00,00)"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        RegDocument doc;
        doc.key(kHkeyLocalMachine, "SOFTWARE\\Q").set("V", row.type, row.data);
        const std::string text = formatRegText(doc);
        EXPECT_EQ(text, std::string("Windows Registry Editor Version 5.00\n\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Q]\n") +
                            row.line + "\n\n");
        auto back = parseRegText(text);
        EXPECT_EQ(back.droppedLines, 0u);
        const RegValue* value = valueIn(back.doc, "SOFTWARE\\Q", "V");
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(value->type, row.type);
        EXPECT_EQ(value->data, row.data);
    }
}

TEST(RegText, ReadsHandWrittenExportedAndOlderFiles)
{
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n"
                             "\r\n"
                             "; written by hand\r\n"
                             "[hkey_local_machine\\Software\\Q]\r\n"
                             "@=\"default\"\r\n"
                             "  \"Bin\" = hex:01,02,\\\r\n"
                             "    03,04\r\n"
                             "\"Num\"=DWORD:7\r\n"
                             "\"Path\"=\"c:\\temp\\log.txt\"\r\n"
                             "\"Gone\"=\"x\"\r\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\q]\r\n"
                             "\"num\"=dword:00000008\r\n"
                             "\"gone\"=-\r\n"
                             "[HKEY_LOCAL_MACHINE\\Old\\Sub]\r\n"
                             "\"V\"=\"1\"\r\n"
                             "[-HKEY_LOCAL_MACHINE\\OLD]\r\n"
                             "\"Ignored\"=\"under a deleted key\"\r\n";
    auto parsed = parseRegText(text);
    RegDocument& doc = parsed.doc;
    EXPECT_EQ(parsed.droppedLines, 0u);
    ASSERT_EQ(doc.keys().size(), 1u); // the two spellings name one key; Old went
    EXPECT_EQ(doc.keys()[0].path(), "Software\\Q");
    ASSERT_NE(valueIn(doc, "SOFTWARE\\Q", ""), nullptr);
    EXPECT_EQ(valueIn(doc, "SOFTWARE\\Q", "")->data, bytesOf(std::string_view("default\0", 8)));
    EXPECT_EQ(valueIn(doc, "SOFTWARE\\Q", "bin")->data, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(valueIn(doc, "SOFTWARE\\Q", "path")->data,
              bytesOf(std::string_view("c:\\temp\\log.txt\0", 16)));
    EXPECT_EQ(valueIn(doc, "SOFTWARE\\Q", "Gone"), nullptr);
    const RegValue* num = valueIn(doc, "software\\q", "NUM");
    ASSERT_NE(num, nullptr);
    EXPECT_EQ(num->name, "Num"); // the first spelling stays
    EXPECT_EQ(num->data, (std::vector<std::uint8_t>{8, 0, 0, 0}));

    // The system editor's own format: UTF-16 LE with its mark.
    auto wide = parseRegText(utf16le("Windows Registry Editor Version 5.00\r\n\r\n"
                                     "[HKEY_LOCAL_MACHINE\\Q]\r\n\"V\"=\"log.txt\"\r\n"
                                     "\"E\"=hex(2):25,00,00,00\r\n"));
    EXPECT_EQ(wide.droppedLines, 0u);
    ASSERT_NE(valueIn(wide.doc, "Q", "V"), nullptr);
    EXPECT_EQ(valueIn(wide.doc, "Q", "V")->data, bytesOf(std::string_view("log.txt\0", 8)));
    ASSERT_NE(valueIn(wide.doc, "Q", "E"), nullptr);
    EXPECT_EQ(valueIn(wide.doc, "Q", "E")->type, kRegExpandSz);
}

TEST(RegText, BadLinesAreDroppedAndCountedAndTheRestKept)
{
    const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\A]\n";
    struct Row {
        std::string text;
        std::size_t dropped;
    };
    const Row rows[] = {
        {"garbage\n" + head, 1},
        {"Windows Registry Editor Version 4.00\n" + head, 1},
        {std::string("\x00\x01\x02\n", 4) + head, 1},
        {head + "\"V\"=\"cut off\n", 1},
        {head + "\"V\"=hex:01,02,\\\n  zz\n", 2},
        {head + "\"V\"=hex:01,,02\n\"W\"=hex:01,02,\n\"X\"=hex:1ff\n", 3},
        {head + "\"V\"=dword:123456789\n\"W\"=dword:\n", 2},
        {head + "\"V\"=\"text\" trailing\n\"W\"\n\"X\"=wat:1\n", 3},
        {head + "[HKEY_NOWHERE\\A]\n\"V\"=\"lost with its key\"\n" + head, 2},
        {head + "[HKEY_CURRENT_USER\\A\n" + head, 1},
        {"Windows Registry Editor Version 5.00\n\n\"V\"=\"before any key\"\n" + head, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        auto parsed = parseRegText(row.text + "\"Good\"=\"1\"\n");
        EXPECT_EQ(parsed.droppedLines, row.dropped);
        const RegKeyNode* key = parsed.doc.findKey(kHkeyCurrentUser, "A");
        ASSERT_NE(key, nullptr);
        ASSERT_NE(key->find("good"), nullptr);
        EXPECT_EQ(key->values().size(), 1u);
    }
}

TEST(RegText, KeysAboveAStoredKeyExist)
{
    RegDocument doc;
    doc.key(kHkeyLocalMachine, "SOFTWARE\\Quorvellant\\Metrovanta");
    EXPECT_TRUE(doc.keyExists(kHkeyLocalMachine, "software\\QUORVELLANT"));
    EXPECT_TRUE(doc.keyExists(kHkeyLocalMachine, ""));
    EXPECT_FALSE(doc.keyExists(kHkeyLocalMachine, "SOFTWARE\\Quorv"));
    EXPECT_FALSE(doc.keyExists(kHkeyLocalMachine, "SOFTWARE\\Quorvellant\\Metrovanta\\Settings"));
    EXPECT_FALSE(doc.keyExists(kHkeyCurrentUser, "SOFTWARE"));
}
