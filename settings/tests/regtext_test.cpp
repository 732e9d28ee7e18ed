// The registry export text: each value form written and read back byte for byte, the forms a
// real export or a hand edit holds, and damaged lines left out without losing the rest.
#include "settings/regtext.h"

#include <gtest/gtest.h>

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

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

} // namespace

TEST(RegText, EveryValueFormWritesAndReadsBackTheSameBytes)
{
    // What the row holds, the value's type and bytes, the line written for it.
    const std::tuple<const char*, std::uint32_t, Bytes, const char*> rows[] = {
        {"escapes", kRegSz, bytesOf("C:\\a \"b\"\0"sv), R"("V"="C:\\a \"b\"")"},
        {"no final NUL", kRegSz, bytesOf("abc"), R"("V"=hex(1):61,62,63)"},
        {"no bytes", kRegSz, {}, R"("V"=hex(1):)"},
        {"line break", kRegSz, bytesOf("a\nb\0"sv), R"("V"=hex(1):61,0a,62,00)"},
        {"dword", kRegDword, {0x2a, 0, 0, 0}, R"("V"=dword:0000002a)"},
        {"binary", kRegBinary, {0x00, 0xab, 0x10}, R"("V"=hex:00,ab,10)"},
        {"expand text", kRegExpandSz, bytesOf("%H%\0"sv), R"("V"=hex(2):25,48,25,00)"},
    };
    for (const auto& [what, type, data, line] : rows) {
        SCOPED_TRACE(what);
        RegDocument doc;
        doc.key(kHkeyLocalMachine, "SOFTWARE\\Q").set("V", type, data);
        const std::string text = formatRegText(doc);
        EXPECT_EQ(text, kHeader + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Q]\n" + line + "\n\n");
        const RegValue back = parseRegText(text).doc.keys().at(0).values().at(0);
        EXPECT_EQ(back.type, type);
        EXPECT_EQ(back.data, data);
    }
}

// The document read is compared as the text it writes, which the table above pins.
TEST(RegText, ReadsHandWrittenExportedAndOlderFiles)
{
    auto [doc, dropped] = parseRegText("\xEF\xBB\xBFREGEDIT4\r\n\r\n"
                                       "; written by hand\r\n"
                                       "[hkey_local_machine\\Software\\Q]\r\n"
                                       "@=\"default\"\r\n"
                                       "  \"Bin\" = hex:01,02,\\\r\n"
                                       "    03,04\r\n"
                                       "\"Num\"=DWORD:7\r\n"
                                       "\"Log\"=\"c:\\temp\\log.txt\"\r\n" // no escape there
                                       "\"Gone\"=\"x\"\r\n"
                                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\q]\r\n"
                                       "\"num\"=dword:00000008\r\n"
                                       "\"gone\"=-\r\n"
                                       "[HKEY_LOCAL_MACHINE\\Old\\Sub]\r\n"
                                       "\"V\"=\"1\"\r\n"
                                       "[-HKEY_LOCAL_MACHINE\\OLD]\r\n"
                                       "\"Ignored\"=\"under a deleted key\"\r\n");
    EXPECT_EQ(dropped, 0u);
    // One key under its first spelling, each value under its own.
    EXPECT_EQ(formatRegText(doc), kHeader + R"([HKEY_LOCAL_MACHINE\Software\Q]
@="default"
"Bin"=hex:01,02,03,04
"Num"=dword:00000008
"Log"="c:\\temp\\log.txt"

)");

    // The system editor's own format: UTF-16 LE with its mark (this host is little-endian).
    const std::u16string wide = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                u"[HKEY_LOCAL_MACHINE\\Q]\r\n\"V\"=\"Длина 𝄞\"\r\n";
    const auto read = parseRegText({reinterpret_cast<const char*>(wide.data()), wide.size() * 2});
    EXPECT_EQ(formatRegText(read.doc), kHeader + "[HKEY_LOCAL_MACHINE\\Q]\n\"V\"=\"Длина 𝄞\"\n\n");
}

TEST(RegText, BadLinesAreDroppedAndCountedAndTheRestKept)
{
    const std::string head = kHeader + "[HKEY_LOCAL_MACHINE\\A]\n";
    const std::string good = "\"Good\"=\"1\"\n";
    // The text before a good value, and how many of its lines are dropped.
    const std::pair<std::string, std::size_t> rows[] = {
        {"garbage\n" + head, 1},
        {head + "\"V\"=\"cut off\n", 1},
        {head + "\"V\"=hex:01,02,\\\n  zz\n", 2},
        {head + "\"V\"=hex:01,,02\n\"W\"=hex:01,02,\n\"X\"=hex:1ff\n", 3},
        {head + "\"V\"=\"text\" trailing\n\"W\"\n\"X\"=wat:1\n", 3},
        {head + "[HKEY_NOWHERE\\A]\n\"V\"=\"lost with its key\"\n" + head, 2},
    };
    for (const auto& [text, dropped] : rows) {
        SCOPED_TRACE(text);
        const auto parsed = parseRegText(text + good);
        EXPECT_EQ(parsed.droppedLines, dropped);
        EXPECT_EQ(formatRegText(parsed.doc), head + good + "\n");
    }
}

