// Base.dat read and written: every accepted form saved back byte for byte, each
// malformed record with its line, the capacity, and texts a save must refuse or protect.
#include "unitdb/basefile.h"

#include "fileio/tests/testfolder.h"
#include "unitdb/cp1251.h"

#include <cmath>
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
    const std::string beyondCp1251 = edited(utf8, {{"(A)", "(Å м² Ω)"}});
    const std::string quoted = encodeCp1251(edited(utf8, {{"foot,", "\"foot, US\","},
                                                          {"Пустой раздел", "\" Пустой, раздел\""},
                                                          {"Ньютон", "  Ньютон «ЯРД»"}}))
                                   .bytes;
    using enum TextEncoding;
    const std::tuple<const char*, std::string, std::string, TextEncoding> rows[] = {
        {"windows-1251 crlf", reference, reference, Cp1251},
        {"utf-8 with bom", readBytes(dataFile("utf8_bom_crlf.dat")), "\xEF\xBB\xBF" + utf8,
         Utf8WithBom},
        {"utf-8 lf", readBytes(dataFile("utf8_lf.dat")), utf8, Utf8},
        {"utf-8 beyond windows-1251", beyondCp1251, beyondCp1251, Utf8},
        {"quoted names, blank-led description, a pair that is UTF-8 too", quoted, quoted, Cp1251},
        {"no final line end", reference.substr(0, reference.size() - 2), reference, Cp1251},
    };
    for (const auto& [name, bytes, saved, encoding] : rows) {
        SCOPED_TRACE(name);
        TestFolder dir;
        writeBytes(dir / "in.dat", bytes);
        UnitDatabase db;
        const LoadResult r = load(db, dir / "in.dat");
        EXPECT_EQ(std::tuple(r.code, db.encoding()), std::tuple(ErrorCode::None, encoding));
        ASSERT_TRUE(save(db, dir / "out.dat").ok());
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
        {"Длина\r\nМетр,1\r\nОсно\xD0вная\r\n*\r\n", InvalidUtf8, 3}, // UTF-8 but one byte
        {"\xEF\xBB\xBF\xFF\r\n*\r\n", InvalidUtf8, 1},
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
        UnitDatabase db;
        const LoadResult r = load(db, dir / "Base.dat");
        // Past the name line the fault falls inside the quantity and cuts it short.
        EXPECT_EQ(std::tie(r.code, r.line, r.partial, r.lastCut),
                  std::tuple(code, line, code != EmptyFile, line > 1));
    }
}

TEST(BaseFile, StopsAtCapacityWithTheLineOfTheFirstRecordThatDoesNotFit)
{
    constexpr std::size_t kQuantities = 51, kUnits = 101; // what the lists hold
    TestFolder dir;
    std::string categories;
    for (std::size_t q = 0; q <= kQuantities; ++q)
        categories += "Раздел\r\nЕд,1\r\n\r\n*\r\n";
    writeBytes(dir / "categories.dat", categories);
    std::string units = "Длина\r\n";
    for (std::size_t s = 0; s < kUnits; ++s)
        units += "Ед " + std::to_string(s) + ",1\r\nx.\r\n";
    writeBytes(dir / "units.dat", units + "Ещё,1\r\nx.\r\n*\r\n");

    UnitDatabase db;
    LoadResult r = load(db, dir / "categories.dat");
    EXPECT_EQ(std::tuple(r.code, r.line, db.size()),
              std::tuple(ErrorCode::TooManyCategories, 4 * int{kQuantities} + 1, kQuantities));
    r = load(db, dir / "units.dat");
    EXPECT_EQ(std::tuple(r.code, r.line, db[0].units.size()),
              std::tuple(ErrorCode::TooManyUnits, 2 + 2 * int{kUnits}, kUnits));
}

TEST(BaseFile, RefusesTextThatWouldNotReadBackAndWritesNothing)
{
    using enum ErrorCode;
    using enum TextField;
    // Category, unit, description, coefficient: the refusal and the field it names.
    const std::tuple<const char*, const char*, const char*, double, ErrorCode,
                     std::optional<TextField>>
        rows[] = {
            {"Масса", "Ангстрем Å", "", 1, Unencodable, UnitName},
            {"Масса, \"вес\"", "Метр", "", 1, QuoteInQuotedName, QuantityName},
            {"Масса", "Метр", "две\nстроки", 1, LineBreak, Description},
            {"Масса", "Метр", "", INFINITY, OutOfRange, std::nullopt},
        };
    for (const auto& [category, unit, description, coefficient, code, field] : rows) {
        SCOPED_TRACE(unit);
        TestFolder dir;
        writeBytes(dir / "Base.dat", "old");
        const UnitDatabase db(
            {{"Длина", {}}, {category, {{"Грамм", 1, ""}, {unit, coefficient, description}}}},
            TextEncoding::Cp1251);
        const SaveResult r = save(db, dir / "Base.dat");
        const auto slot = field == QuantityName ? std::nullopt : std::optional<std::size_t>(1);
        EXPECT_EQ(std::tuple(r.code, r.quantity, r.slot, r.field),
                  std::tuple(code, std::size_t{1}, slot, field));
        EXPECT_EQ(readBytes(dir / "Base.dat"), "old");
    }
    // A file larger than load() takes would not read back either.
    TestFolder dir;
    writeBytes(dir / "Base.dat", "old");
    SaveOptions options;
    options.limit = 20;
    const UnitDatabase db({{"Длина", {{"Метр", 1, "Основная."}}}}, TextEncoding::Cp1251);
    EXPECT_EQ(save(db, dir / "Base.dat", options).code, TooLarge);
    EXPECT_EQ(readBytes(dir / "Base.dat"), "old");
}

TEST(BaseFile, TextsTheReadersWouldTakeOtherwiseAreWrittenSoThatBothFilesReadBackTheSame)
{
    using enum TextEncoding;
    // Category, unit, the encoding they are saved in, and the saved Base.dat's first bytes.
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
        const UnitDatabase saved({{category, {{unit, 1, ""}}}}, encoding);
        ASSERT_TRUE(save(saved, dir / "Base.dat").ok());
        EXPECT_TRUE(readBytes(dir / "Base.dat").starts_with(fileStart));
        UnitDatabase db;
        ASSERT_TRUE(load(db, dir / "Base.dat").ok());
        EXPECT_EQ(db, saved);
    }
}

// Descriptions of a Windows-1251 file are decoded only when read: they read as those of a UTF-8
// file do, ended by a period, and outlive the database they were copied from.
TEST(BaseFile, DescriptionsReadTheSameInEitherEncodingWhenFirstAskedFor)
{
    const std::string utf8 = "Длина\r\nМетр,1\r\nОсновная единица\r\nВерста,1066.8\r\n\r\n"
                             "Фут,0.3048\r\n«Ёлка» №1.\r\n*\r\n";
    for (const bool cp1251 : {true, false}) {
        SCOPED_TRACE(cp1251);
        TestFolder dir;
        writeBytes(dir / "Base.dat", cp1251 ? encodeCp1251(utf8).bytes : utf8);
        std::vector<Unit> units;
        {
            UnitDatabase db;
            ASSERT_TRUE(load(db, dir / "Base.dat").ok());
            EXPECT_EQ(db.encoding(), cp1251 ? TextEncoding::Cp1251 : TextEncoding::Utf8);
            units = db[0].units;
        }
        ASSERT_EQ(units.size(), 3u);
        EXPECT_EQ(units[0].description, "Основная единица.");
        EXPECT_TRUE(units[1].description.empty());
        EXPECT_EQ(units[1].description.text(), "");
        EXPECT_EQ(units[2].description.text(), "«Ёлка» №1.");
    }
}
