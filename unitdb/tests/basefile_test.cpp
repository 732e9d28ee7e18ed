// Base.dat read and written: every accepted form saved back byte for byte, each
// malformed record with its line, and texts a save must refuse or protect.
#include "unitdb/basefile.h"

#include "fileio/tests/testfolder.h"
#include "unitdb/cp1251.h"

#include <cmath>
#include <memory>
#include <tuple>

using namespace unitdb;

namespace
{

// The text with every `from` of each pair replaced by its `to`, pair after pair.
std::string edited(std::string s, std::initializer_list<std::pair<std::string, std::string>> edits)
{
    for (const auto& [from, to] : edits)
        for (auto pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
            s.replace(pos, from.size(), to);
    return s;
}

} // namespace

TEST(BaseFile, EveryAcceptedFormSavesBackInItsCanonicalBytes)
{
    // As the program writes it: Windows-1251, CR LF, canonical coefficients.
    const std::string reference = readBytes(dataFile("cp1251_crlf.dat"));
    const std::string utf8 = decodeCp1251(reference);
    const std::string undefinedByte = edited(reference, {{"(A)", "(\x98)"}});
    const std::string beyondCp1251 = edited(utf8, {{"(A)", "(Å м² Ω)"}});
    const std::string quoted = encodeCp1251(edited(utf8, {{"foot,", "\"foot, US\","},
                                                          {"Пустой раздел", "\" Пустой, раздел\""},
                                                          {"Ньютон", "  Ньютон"}}))
                                   .bytes;
    using enum TextEncoding;
    const std::tuple<const char*, std::string, std::string, TextEncoding> rows[] = {
        {"windows-1251 crlf", reference, reference, Cp1251},
        {"utf-8 with bom", readBytes(dataFile("utf8_bom_crlf.dat")), "\xEF\xBB\xBF" + utf8,
         Utf8WithBom},
        {"utf-8 lf", readBytes(dataFile("utf8_lf.dat")), utf8, Utf8},
        {"utf-8 beyond windows-1251", beyondCp1251, beyondCp1251, Utf8},
        {"byte 0x98", undefinedByte, undefinedByte, Cp1251},
        {"quoted names, blank-led description", quoted, quoted, Cp1251},
        {"no final line end", reference.substr(0, reference.size() - 2), reference, Cp1251},
    };
    for (const auto& [name, bytes, saved, encoding] : rows) {
        SCOPED_TRACE(name);
        TestFolder dir;
        writeBytes(dir / "in.dat", bytes);
        auto t = std::make_unique<UnitTables>();
        const LoadResult r = load(*t, dir / "in.dat");
        EXPECT_EQ(std::tie(r.code, r.encoding), std::tuple(ErrorCode::None, encoding));
        ASSERT_TRUE(save(*t, dir / "out.dat").ok());
        EXPECT_EQ(readBytes(dir / "out.dat"), saved);
    }
}

TEST(BaseFile, ReportsMalformedRecordsWithTheirLine)
{
    using enum ErrorCode;
    std::vector<std::tuple<std::string, ErrorCode, int>> rows = {
        {"Длина\r\nМетр,1\r\nОписание\r\n", UnexpectedEnd, 4},
        {"\r\n \t\r\nДлина\r\nМетр\r\n*\r\n", MissingCoefficient, 4}, // blank lines count
        {"Длина, мера\r\n*\r\n", ExtraField, 1},
        {"\"Длина\r\n*\r\n", UnclosedQuote, 1},
        {"", EmptyFile, 0},
        {"\xEF\xBB\xBF\r\n", EmptyFile, 0},
    };
    // Coefficients: 4e-320 is subnormal, and a negative that underflows is still negative.
    const std::pair<const char*, ErrorCode> coefficients[] = {
        {"1.5x", BadCoefficient}, {"1e400", OutOfRange},  {"1e-400", OutOfRange},
        {"4e-320", OutOfRange},   {" 0.00", NotPositive}, {"-1e-400", NotPositive}};
    for (const auto& [coefficient, code] : coefficients)
        rows.emplace_back(std::string("Длина\r\nМетр,") + coefficient + "\r\nx\r\n*\r\n", code, 2);
    for (const auto& [text, code, line] : rows) {
        SCOPED_TRACE(text);
        TestFolder dir;
        writeBytes(dir / "Base.dat", text);
        const LoadResult r = load(*std::make_unique<UnitTables>(), dir / "Base.dat");
        EXPECT_EQ(std::tie(r.code, r.line, r.partial), std::tuple(code, line, code != EmptyFile));
    }
}

TEST(BaseFile, StopsAtCapacityWithTheLineOfTheFirstRecordThatDoesNotFit)
{
    TestFolder dir;
    std::string categories;
    for (int c = 0; c <= kMaxCategories; ++c)
        categories += "Раздел\r\nЕд,1\r\n\r\n*\r\n";
    writeBytes(dir / "categories.dat", categories);
    std::string units = "Длина\r\n";
    for (int s = 0; s < kMaxUnits; ++s)
        units += "Ед " + std::to_string(s) + ",1\r\nx.\r\n";
    writeBytes(dir / "units.dat", units + "Ещё,1\r\nx.\r\n*\r\n");

    auto t = std::make_unique<UnitTables>();
    LoadResult r = load(*t, dir / "categories.dat");
    EXPECT_EQ(std::tie(r.code, r.line, t->categoryCount),
              std::tuple(ErrorCode::TooManyCategories, 4 * kMaxCategories + 1, kMaxCategories));
    r = load(*t, dir / "units.dat");
    EXPECT_EQ(std::tie(r.code, r.line, t->unitCount[0]),
              std::tuple(ErrorCode::TooManyUnits, 2 + 2 * kMaxUnits, kMaxUnits));
}

TEST(BaseFile, RefusesTextThatWouldNotReadBackAndWritesNothing)
{
    using enum ErrorCode;
    // Category, unit, description, coefficient: the refusal and the field it names.
    const std::tuple<const char*, const char*, const char*, double, ErrorCode, TextField> rows[] = {
        {"Масса", "Ангстрем Å", "", 1, Unencodable, TextField::UnitName},
        {"Масса, \"вес\"", "Метр", "", 1, UnwritableText, TextField::CategoryName},
        {"Масса", "* ", "", 1, UnwritableText, TextField::UnitName},
        {"Масса", "Метр", "две\nстроки", 1, UnwritableText, TextField::Description},
        {"Масса", "Метр", "", INFINITY, OutOfRange, TextField::Coefficient},
    };
    for (const auto& [category, unit, description, coefficient, code, field] : rows) {
        SCOPED_TRACE(unit);
        TestFolder dir;
        writeBytes(dir / "Base.dat", "old");
        auto t = std::make_unique<UnitTables>();
        t->categoryCount = 2;
        t->categoryNames = {"Длина", category};
        t->unitCount[1] = 2;
        t->unitNames[1] = {"Грамм", unit};
        t->coefficients[1] = {1, coefficient};
        t->descriptions[1][1] = description;
        const SaveResult r = save(*t, dir / "Base.dat");
        EXPECT_EQ(std::tie(r.code, r.category, r.slot, r.field),
                  std::tuple(code, 1, field == TextField::CategoryName ? -1 : 1, field));
        EXPECT_EQ(readBytes(dir / "Base.dat"), "old");
    }
}

TEST(BaseFile, TextsTheReaderWouldTakeOtherwiseAreWrittenSoTheyLoadUnchanged)
{
    using enum TextEncoding;
    // Category, unit, the encoding they are saved in, and the saved file's first bytes.
    const std::tuple<const char*, const char*, TextEncoding, std::string> rows[] = {
        {"\tДлина ", "Метр", Cp1251, "\"\t\xC4"},     // the reader skips unquoted leading blanks
        {"", " *", Cp1251, "\"\"\r\n\" *\","},        // a blank line names no category
        {"Рџ", "В°", Cp1251, "\xEF\xBB\xBF\xD0\xA0"}, // Windows-1251 D0 9F reads as UTF-8 "П"
        {"п»їДлина", "Метр", Cp1251, "\xEF\xBB\xBF\xD0\xBF"}, // would read as a mark
        {"Å, м²", "Ω\r", Utf8, "\"Å, м²\"\r\nΩ\r,"},
        {"\uFEFFÅ", "Ω", Utf8, "\xEF\xBB\xBF\xEF\xBB\xBFÅ"}, // one mark, then the text's own
    };
    for (const auto& [category, unit, encoding, fileStart] : rows) {
        SCOPED_TRACE(category);
        TestFolder dir;
        auto t = std::make_unique<UnitTables>();
        t->categoryCount = 1;
        t->categoryNames[0] = category;
        t->unitCount[0] = 1;
        t->unitNames[0][0] = unit;
        t->coefficients[0][0] = 1;
        t->encoding = encoding;
        ASSERT_TRUE(save(*t, dir / "Base.dat").ok());
        EXPECT_TRUE(readBytes(dir / "Base.dat").starts_with(fileStart));
        ASSERT_TRUE(load(*t, dir / "Base.dat").ok());
        EXPECT_EQ(t->categoryNames[0], category);
        EXPECT_EQ(t->unitNames[0][0], unit);
    }
}
