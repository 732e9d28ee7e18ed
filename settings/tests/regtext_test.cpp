// The registry export text: each value form written and read back byte for byte, the forms a
// real export or a hand edit holds, and damaged lines left out without losing the rest.
#include "settings/regtext.h"

#include "settings/registry.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

using namespace settings;
using namespace std::literals;

namespace
{

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view s)
{
    return {s.begin(), s.end()};
}

// The value's bytes, or nothing when the key or the value is missing.
std::optional<Bytes> dataOf(RegDocument& doc, std::string_view path, std::string_view name)
{
    const RegKeyNode* key = doc.findKey(kHkeyLocalMachine, path);
    const RegValue* value = key != nullptr ? key->find(name) : nullptr;
    return value != nullptr ? std::optional(value->data) : std::nullopt;
}

} // namespace

TEST(RegText, EveryValueFormWritesAndReadsBackTheSameBytes)
{
    // What the row holds, the value's type and bytes, the line written for it.
    const std::tuple<const char*, std::uint32_t, Bytes, const char*> rows[] = {
        {"escapes", kRegSz, bytesOf("C:\\a \"b\"\0"sv), R"("V"="C:\\a \"b\"")"},
        {"no final NUL", kRegSz, bytesOf("abc"), R"("V"=hex(1):61,62,63)"},
        {"two final NULs", kRegSz, bytesOf("a\0\0"sv), R"("V"=hex(1):61,00,00)"},
        {"no bytes", kRegSz, {}, R"("V"=hex(1):)"},
        {"line break", kRegSz, bytesOf("a\nb\0"sv), R"("V"=hex(1):61,0a,62,00)"},
        {"dword", kRegDword, {0x2a, 0, 0, 0}, R"("V"=dword:0000002a)"},
        {"short dword", kRegDword, {1, 2}, R"("V"=hex(4):01,02)"},
        {"binary", kRegBinary, {0x00, 0xab, 0x10}, R"("V"=hex:00,ab,10)"},
        {"expand text", kRegExpandSz, bytesOf("%H%\0"sv), R"("V"=hex(2):25,48,25,00)"},
    };
    for (const auto& [what, type, data, line] : rows) {
        SCOPED_TRACE(what);
        RegDocument doc;
        doc.key(kHkeyLocalMachine, "SOFTWARE\\Q").set("V", type, data);
        const std::string text = formatRegText(doc);
        EXPECT_EQ(text,
                  "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Q]\n"s +
                      line + "\n\n");
        auto back = parseRegText(text);
        EXPECT_EQ(dataOf(back.doc, "SOFTWARE\\Q", "V"), data);
        EXPECT_EQ(back.doc.keys().at(0).values().at(0).type, type);
    }
}

TEST(RegText, ReadsHandWrittenExportedAndOlderFiles)
{
    auto [doc, dropped] = parseRegText("\xEF\xBB\xBFREGEDIT4\r\n\r\n"
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
                                       "\"Ignored\"=\"under a deleted key\"\r\n");
    EXPECT_EQ(dropped, 0u);
    ASSERT_EQ(doc.keys().size(), 1u); // the two spellings name one key; Old went
    EXPECT_EQ(doc.keys()[0].path(), "Software\\Q");
    EXPECT_EQ(dataOf(doc, "SOFTWARE\\Q", ""), bytesOf("default\0"sv));
    EXPECT_EQ(dataOf(doc, "SOFTWARE\\Q", "bin"), (Bytes{1, 2, 3, 4}));
    EXPECT_EQ(dataOf(doc, "SOFTWARE\\Q", "path"), bytesOf("c:\\temp\\log.txt\0"sv));
    EXPECT_EQ(dataOf(doc, "SOFTWARE\\Q", "Gone"), std::nullopt);
    EXPECT_EQ(dataOf(doc, "software\\q", "NUM"), (Bytes{8, 0, 0, 0}));
    EXPECT_EQ(doc.keys()[0].values().at(2).name, "Num"); // the first spelling stays
    // Keys above a stored one exist too, matched by whole names under their own root.
    EXPECT_TRUE(doc.keyExists(kHkeyLocalMachine, "software"));
    EXPECT_FALSE(doc.keyExists(kHkeyLocalMachine, "Soft"));
    EXPECT_FALSE(doc.keyExists(kHkeyCurrentUser, "Software"));

    // The system editor's own format: UTF-16 LE with its mark (this host is little-endian).
    const std::u16string wide = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_LOCAL_MACHINE\\Q]\r\n\"V\"=\"Длина 𝄞\"\r\n"
                                u"\"E\"=hex(2):25,00,00,00\r\n";
    auto read = parseRegText({reinterpret_cast<const char*>(wide.data()), wide.size() * 2});
    EXPECT_EQ(read.droppedLines, 0u);
    EXPECT_EQ(dataOf(read.doc, "Q", "V"), bytesOf("Длина 𝄞\0"sv));
    EXPECT_EQ(dataOf(read.doc, "Q", "E"), (Bytes{0x25, 0, 0, 0}));
}

TEST(RegText, BadLinesAreDroppedAndCountedAndTheRestKept)
{
    const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\A]\n";
    // The text before a good value, and how many of its lines are dropped.
    const std::pair<std::string, std::size_t> rows[] = {
        {"garbage\n" + head, 1},
        {head + "\"V\"=\"cut off\n", 1},
        {head + "\"V\"=hex:01,02,\\\n  zz\n", 2},
        {head + "\"V\"=hex:01,,02\n\"W\"=hex:01,02,\n\"X\"=hex:1ff\n", 3},
        {head + "\"V\"=dword:123456789\n\"W\"=dword:\n", 2},
        {head + "\"V\"=\"text\" trailing\n\"W\"\n\"X\"=wat:1\n", 3},
        {head + "[HKEY_NOWHERE\\A]\n\"V\"=\"lost with its key\"\n" + head, 2},
        {head + "[HKEY_LOCAL_MACHINE\\A\n" + head, 1},
    };
    for (const auto& [text, dropped] : rows) {
        SCOPED_TRACE(text);
        auto parsed = parseRegText(text + "\"Good\"=\"1\"\n");
        EXPECT_EQ(parsed.droppedLines, dropped);
        EXPECT_EQ(dataOf(parsed.doc, "A", "good"), bytesOf("1\0"sv));
        EXPECT_EQ(parsed.doc.keys().at(0).values().size(), 1u);
    }
}
