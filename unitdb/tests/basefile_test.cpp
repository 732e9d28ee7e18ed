#include "unitdb/basefile.h"

#include "testfolder.h"
#include "unitdb/cp1251.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <limits>
#include <memory>

using namespace unitdb;

namespace
{

std::unique_ptr<UnitTables> loadOrFail(const std::filesystem::path& path)
{
    auto t = std::make_unique<UnitTables>();
    const LoadResult r = load(*t, path);
    EXPECT_TRUE(r.ok()) << "code " << static_cast<int>(r.code) << " line " << r.line;
    return t;
}

std::string replaceAll(std::string s, const std::string& from, const std::string& to)
{
    for (auto pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size()))
        s.replace(pos, from.size(), to);
    return s;
}

// The fixture as written by the program: Windows-1251, CR LF, canonical coefficients.
std::string referenceBytes()
{
    return readBytes(dataFile("cp1251_crlf.dat"));
}

std::string cp1251(const std::string& utf8)
{
    return encodeCp1251(utf8).bytes;
}

std::unique_ptr<UnitTables> oneCategory(const std::string& unitName, const std::string& desc)
{
    auto t = std::make_unique<UnitTables>();
    t->categoryCount = 1;
    t->categoryNames[0] = "Длина";
    t->unitCount[0] = 1;
    t->unitNames[0][0] = unitName;
    t->coefficients[0][0] = 1;
    t->descriptions[0][0] = desc;
    return t;
}

} // namespace

TEST(BaseFile, EveryAcceptedFormSavesBackInItsCanonicalBytes)
{
    const std::string reference = referenceBytes();
    ASSERT_FALSE(reference.empty());
    const std::string utf8 = decodeCp1251(reference);
    const std::string undefinedByte = replaceAll(reference, "(A)", "(\x98)");
    const std::string beyondCp1251 = replaceAll(utf8, "(A)", "(Å м² Ω)");
    const std::string quoted = cp1251(replaceAll(replaceAll(utf8, "foot,", "\"foot, US\","),
                                                 "Пустой раздел", "\" Пустой, раздел\""));
    struct Row {
        const char* name;
        std::string bytes;
        std::string saved;
        TextEncoding encoding;
    };
    const Row rows[] = {
        {"windows-1251 crlf", reference, reference, TextEncoding::Cp1251},
        {"utf-8 with bom", readBytes(dataFile("utf8_bom_crlf.dat")), "\xEF\xBB\xBF" + utf8,
         TextEncoding::Utf8WithBom},
        {"utf-8 lf", readBytes(dataFile("utf8_lf.dat")), utf8, TextEncoding::Utf8},
        {"utf-8 beyond windows-1251", beyondCp1251, beyondCp1251, TextEncoding::Utf8},
        {"byte 0x98", undefinedByte, undefinedByte, TextEncoding::Cp1251},
        {"names with commas", quoted, quoted, TextEncoding::Cp1251},
        {"lf only", replaceAll(reference, "\r\n", "\n"), reference, TextEncoding::Cp1251},
        {"blank lines around categories", "\r\n" + replaceAll(reference, "*\r\n", "*\r\n \t\r\n"),
         reference, TextEncoding::Cp1251},
        {"no final line end", reference.substr(0, reference.size() - 2), reference,
         TextEncoding::Cp1251},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestFolder dir;
        writeBytes(dir / "in.dat", row.bytes);
        auto t = std::make_unique<UnitTables>();
        const LoadResult r = load(*t, dir / "in.dat");
        ASSERT_TRUE(r.ok()) << "line " << r.line;
        EXPECT_EQ(r.encoding, row.encoding);
        EXPECT_EQ(t->categoryCount, 4);
        ASSERT_TRUE(save(*t, dir / "out.dat").ok());
        EXPECT_EQ(readBytes(dir / "out.dat"), row.saved);
    }
}

TEST(BaseFile, KeepsDescriptionsWholeAndEndsThemWithAPeriod)
{
    TestFolder dir;
    writeBytes(dir / "Base.dat", "Длина\r\n"
                                 "Метр,1\r\n"
                                 "Мера длины\r\n"
                                 "Дюйм,0.0254\r\n"
                                 "Мера длины.\r\n"
                                 "Ярд,0.9144\r\n"
                                 "\r\n"
                                 "Фут,0.3048\r\n"
                                 "Ух ты!\r\n"
                                 "  \"Миля, морская\",1852\r\n"
                                 "  Три поля: a, \"b\", c\r\n"
                                 "*\r\n"
                                 "Пусто\r\n"
                                 "*\r\n");
    const auto t = loadOrFail(dir / "Base.dat");
    ASSERT_EQ(t->categoryCount, 2);
    ASSERT_EQ(t->unitCount[0], 5);
    EXPECT_EQ(t->unitCount[1], 0);
    EXPECT_EQ(t->categoryNames[1], "Пусто");
    EXPECT_EQ(t->descriptions[0][0], "Мера длины.");
    EXPECT_EQ(t->descriptions[0][1], "Мера длины.");
    EXPECT_EQ(t->descriptions[0][2], "");
    EXPECT_EQ(t->descriptions[0][3], "Ух ты!.");
    EXPECT_EQ(t->unitNames[0][4], "Миля, морская");
    EXPECT_EQ(t->descriptions[0][4], "  Три поля: a, \"b\", c.");
    EXPECT_EQ(t->coefficients[0][1], 0.0254);
}

TEST(BaseFile, ReportsMalformedRecordsWithTheirLine)
{
    struct Row {
        const char* text;
        ErrorCode code;
        int line;
    };
    const Row rows[] = {
        {"Длина\r\nМетр,1\r\nОписание\r\n", ErrorCode::UnexpectedEnd, 4},
        {"Длина\r\nМетр,1\r\n", ErrorCode::UnexpectedEnd, 3},
        {"Длина\r\n", ErrorCode::UnexpectedEnd, 2},
        {"Длина\r\nМетр\r\n1\r\n*\r\n", ErrorCode::MissingCoefficient, 2},
        {"Длина\r\nМетр,один\r\nx\r\n*\r\n", ErrorCode::BadCoefficient, 2},
        {"Длина\r\nМетр,\r\nx\r\n*\r\n", ErrorCode::BadCoefficient, 2},
        {"Длина\r\nМетр,1e400\r\nx\r\n*\r\n", ErrorCode::OutOfRange, 2},
        {"Длина\r\nМетр,1e-400\r\nx\r\n*\r\n", ErrorCode::OutOfRange, 2},
        {"Длина\r\nМетр,4e-320\r\nx\r\n*\r\n", ErrorCode::OutOfRange, 2},
        {"Длина\r\nМетр, 0.00\r\nx\r\n*\r\n", ErrorCode::NotPositive, 2},
        {"Длина\r\nМетр,-1e-400\r\nx\r\n*\r\n", ErrorCode::NotPositive, 2},
        {"Длина\r\nМетр,1.5x\r\nx\r\n*\r\n", ErrorCode::BadCoefficient, 2},
        {"Длина\r\nМетр,1,5\r\nx\r\n*\r\n", ErrorCode::ExtraField, 2},
        {"Длина, мера\r\n*\r\n", ErrorCode::ExtraField, 1},
        {"Длина\r\n*,\r\n", ErrorCode::ExtraField, 2},
        {"\"Длина\r\n*\r\n", ErrorCode::UnclosedQuote, 1},
        {"\r\n\r\nДлина\r\nМетр\r\n*\r\n", ErrorCode::MissingCoefficient, 4},
        {"", ErrorCode::EmptyFile, 0},
        {"\r\n \t\n\r\n", ErrorCode::EmptyFile, 0},
        {"\xEF\xBB\xBF\r\n", ErrorCode::EmptyFile, 0},
        {"Длина\r\nМетр,1\r\nx\r\n*\r\nМасса\r\nГрамм,0.001\r\nx\r\nТонна;1000\r\nx\r\n*\r\n",
         ErrorCode::MissingCoefficient, 8},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        TestFolder dir;
        writeBytes(dir / "Base.dat", row.text);
        auto t = std::make_unique<UnitTables>();
        const LoadResult r = load(*t, dir / "Base.dat");
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.line, row.line);
        EXPECT_EQ(r.partial, row.code != ErrorCode::EmptyFile); // nothing left unread
    }
}

TEST(BaseFile, StopsAtCapacityWithTheLineOfTheFirstRecordThatDoesNotFit)
{
    TestFolder dir;
    std::string cats;
    for (int c = 0; c < kMaxCategories + 1; ++c)
        cats += "Раздел " + std::to_string(c) + "\r\nЕд,1\r\n\r\n*\r\n";
    writeBytes(dir / "cats.dat", cats);

    std::string units = "Длина\r\n";
    for (int s = 0; s < kMaxUnits + 1; ++s)
        units += "Ед " + std::to_string(s) + "," + std::to_string(s + 1) + "\r\nx.\r\n";
    units += "*\r\n";
    writeBytes(dir / "units.dat", units);

    auto t = std::make_unique<UnitTables>();
    t->unitNames[kMaxCategories - 1][3] = "stale"; // a load replaces all that was there
    LoadResult r = load(*t, dir / "cats.dat");
    EXPECT_EQ(r.code, ErrorCode::TooManyCategories);
    EXPECT_EQ(r.line, 4 * kMaxCategories + 1);
    EXPECT_EQ(t->categoryCount, kMaxCategories);
    EXPECT_EQ(t->categoryNames[kMaxCategories - 1], "Раздел 50");
    EXPECT_EQ(t->unitNames[kMaxCategories - 1][3], "");

    r = load(*t, dir / "units.dat");
    EXPECT_EQ(r.code, ErrorCode::TooManyUnits);
    EXPECT_EQ(r.line, 2 + 2 * kMaxUnits);
    EXPECT_EQ(t->categoryCount, 1);
    EXPECT_EQ(t->unitCount[0], kMaxUnits);
    EXPECT_EQ(t->coefficients[0][kMaxUnits - 1], kMaxUnits);

    // Exactly full is fine.
    units = units.substr(0, units.rfind("Ед ")) + "*\r\n";
    writeBytes(dir / "full.dat", units);
    EXPECT_TRUE(load(*t, dir / "full.dat").ok());
    EXPECT_EQ(t->unitCount[0], kMaxUnits);
}

TEST(BaseFile, MissingFileAndUnreadablePathHaveTheirOwnCodes)
{
    TestFolder dir;
    auto t = std::make_unique<UnitTables>();
    LoadResult r = load(*t, dir / "Base.dat");
    EXPECT_EQ(r.code, ErrorCode::FileMissing);
    EXPECT_FALSE(r.partial);
    r = load(*t, dir.path());
    EXPECT_EQ(r.code, ErrorCode::NotRegularFile);
    EXPECT_EQ(r.systemError, EISDIR);
}

TEST(BaseFile, RefusesTextThatWouldNotReadBackAndWritesNothing)
{
    struct Row {
        const char* category;
        const char* name;
        const char* desc;
        double coefficient;
        ErrorCode code;
        TextField field;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Row rows[] = {
        {"Масса", "Ангстрем Å", "", 1, ErrorCode::Unencodable, TextField::UnitName},
        {"Масса, \"вес\"", "Метр", "", 1, ErrorCode::UnwritableText, TextField::CategoryName},
        {"Масса", " \"Метр\"", "", 1, ErrorCode::UnwritableText, TextField::UnitName},
        {"Масса", "* ", "", 1, ErrorCode::UnwritableText, TextField::UnitName},
        {"Масса", "Метр", "две\nстроки", 1, ErrorCode::UnwritableText, TextField::Description},
        {"Масса", "Метр", "", inf, ErrorCode::OutOfRange, TextField::Coefficient},
        {"Масса", "Метр", "", -0.0, ErrorCode::NotPositive, TextField::Coefficient},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        TestFolder dir;
        writeBytes(dir / "Base.dat", "old");
        auto t = oneCategory("Дюйм", "");
        t->categoryCount = 2;
        t->categoryNames[1] = row.category;
        t->unitCount[1] = 2;
        t->coefficients[1][0] = 1;
        t->unitNames[1][1] = row.name;
        t->descriptions[1][1] = row.desc;
        t->coefficients[1][1] = row.coefficient;
        const SaveResult r = save(*t, dir / "Base.dat");
        EXPECT_EQ(r.code, row.code);
        EXPECT_EQ(r.category, 1);
        EXPECT_EQ(r.slot, row.field == TextField::CategoryName ? -1 : 1);
        EXPECT_EQ(r.field, row.field);
        EXPECT_EQ(readBytes(dir / "Base.dat"), "old");
        EXPECT_EQ(dir.names(), std::vector<std::string>{"Base.dat"});
    }
}

TEST(BaseFile, TextsTheReaderWouldTakeOtherwiseAreWrittenSoTheyLoadUnchanged)
{
    struct Row {
        const char* category;
        const char* unit;
        TextEncoding encoding;
        std::string fileStart; // the saved file's first bytes
    };
    using enum TextEncoding;
    const Row rows[] = {
        {"Длина", " Метр", Cp1251, "\xC4\xEB\xE8\xED\xE0\r\n\" \xCC"},
        {"\tДлина ", "Метр", Cp1251, "\"\t\xC4"},     // the reader skips unquoted leading blanks
        {"", " *", Cp1251, "\"\"\r\n\" *\","},        // a blank line names no category
        {"Рџ", "В°", Cp1251, "\xEF\xBB\xBF\xD0\xA0"}, // Windows-1251 D0 9F reads as UTF-8 "П"
        {"п»їДлина", "Метр", Cp1251, "\xEF\xBB\xBF\xD0\xBF"}, // EF BB BF reads as a BOM
        {"Å, м²", "Ω\r", Utf8, "\"Å, м²\"\r\nΩ\r,"},
        {"\uFEFFÅ", "Ω", Utf8, "\xEF\xBB\xBF\xEF\xBB\xBFÅ"}, // one mark, then the text's own
        {"Å", "Ω", Utf8WithBom, "\xEF\xBB\xBFÅ"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.category);
        TestFolder dir;
        const auto t = oneCategory(row.unit, "Text.");
        t->categoryNames[0] = row.category;
        t->encoding = row.encoding;
        ASSERT_TRUE(save(*t, dir / "Base.dat").ok());
        EXPECT_TRUE(readBytes(dir / "Base.dat").starts_with(row.fileStart));
        const auto back = loadOrFail(dir / "Base.dat");
        EXPECT_EQ(back->categoryNames[0], row.category);
        EXPECT_EQ(back->unitNames[0][0], row.unit);
        EXPECT_EQ(back->descriptions[0][0], "Text.");
    }
}

TEST(BaseFile, FailedSaveLeavesTheOldFileByteIdentical)
{
    TestFolder dir;
    writeBytes(dir / "Base.dat", "old");
    const SaveResult r = save(*oneCategory("Метр", "Новое."), dir / "Base.dat" / "Base.dat");
    EXPECT_EQ(r.code, ErrorCode::WriteFailed);
    EXPECT_EQ(r.write.step, FileStep::Open);
    EXPECT_NE(r.write.systemError, 0); // a path through a file: ENOTDIR, or ENOENT on Windows
    EXPECT_EQ(readBytes(dir / "Base.dat"), "old");
}
