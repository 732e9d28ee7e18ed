// Start-up and shut-down of the program, the first-run defaults and the
// window's error reporter.
#include "convwin/conversionwindow.h"

#include "dialogs/aboutbox.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"
#include "settings/settingsstore.h"
#include "unitdb/atomicfile.h"
#include "unitdb/basefile.h"
#include "unitdb/ignorefile.h"
#include "unitdb/report.h"
#include "unitdb/unitsort.h"
#include "unitdb/unittables.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalBlocker>

#include <charconv>
#include <fstream>
#include <sstream>

namespace
{

const char* const kBaseFile = "Base.dat";
const char* const kIgnoreFile = "Ignore.ini";
constexpr unitdb::ProgramVersion kVersion{MV_VERSION_MAJOR, MV_VERSION_MINOR, MV_VERSION_PATCH};

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QString caption()
{
    return QStringLiteral("Метрованта %1.%2%3")
        .arg(kVersion.majorVersion)
        .arg(kVersion.minorVersion)
        .arg(kVersion.revision);
}

// What went wrong in Base.dat, in the words and with the error number the
// program has always used for it.
std::pair<int, QString> loadFault(const unitdb::LoadResult& r)
{
    using unitdb::ErrorCode;
    const QString where = QStringLiteral("Файл Base.dat, строка %1: ").arg(r.line);
    const QString tail = QStringLiteral(" Загружено то, что стоит до этой строки.");
    switch (r.code) {
    case ErrorCode::ReadFailed:
        return {75, QStringLiteral("Не удалось прочитать файл Base.dat: ") + qs(r.systemText)};
    case ErrorCode::FileTooLarge:
        return {7, QStringLiteral("Файл Base.dat слишком велик для базы единиц.")};
    case ErrorCode::MissingCoefficient:
    case ErrorCode::BadCoefficient:
        return {13, where + QStringLiteral("коэффициент не является числом.") + tail};
    case ErrorCode::TooManyCategories:
        return {9, where + QStringLiteral("разделов больше 51.") + tail};
    case ErrorCode::TooManyUnits:
        return {9, where + QStringLiteral("единиц в разделе больше 101.") + tail};
    case ErrorCode::UnexpectedEnd:
        return {62, where + QStringLiteral("файл кончается внутри раздела.") + tail};
    default:
        return {62, where + QStringLiteral("запись испорчена.") + tail};
    }
}

QString writeFault(const unitdb::FileWriteResult& w)
{
    return QStringLiteral("%1 (%2)").arg(qs(w.file.filename().string()), qs(w.systemText));
}

} // namespace

bool ConversionWindow::startUp()
{
    m_panelOpen = false;
    m_tables.BaseChanged = false;
    setWindowTitle(caption());
    if (!m_settingsDialog) {
        m_settingsDialog = new SettingsDialog(m_msg, [this] { return report(); });
        connect(m_settingsDialog, &SettingsDialog::roundingChanged, this, [this] { Conversion(); });
        connect(m_settingsDialog, &SettingsDialog::handedBack, this,
                &ConversionWindow::settingsHandedBack);
    }
    if (!m_editor) {
        m_editor = new DatabaseEditor(m_tables, m_msg);
        connect(m_editor, &DatabaseEditor::handedBack, this, &ConversionWindow::editorHandedBack);
    }

    m_settings->setRootKey(settings::kHkeyLocalMachine);
    m_settings->setMainBranch("SOFTWARE");
    m_settings->setRegBase("Quorvellant");
    m_settings->setProgram("Metrovanta");
    m_settings->setSection("Settings");

    m_settingsDialog->setIgnoring(storedNumber("Ignoring") != 0);

    m_currentFile = QString::fromLatin1(kIgnoreFile);
    if (FileExists(m_currentFile)) {
        std::ifstream in(kIgnoreFile, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        if (!in)
            ReportError(75, QStringLiteral("Не удалось прочитать файл Ignore.ini."));
        else
            for (const auto& name : unitdb::parseIgnoreList(bytes.str()))
                m_settingsDialog->addIgnored(qs(name));
    }

    m_currentFile = QString::fromLatin1(kBaseFile);
    const unitdb::LoadResult loaded = unitdb::load(m_tables, kBaseFile);
    m_loadedPartly = loaded.partial;
    if (loaded.code == unitdb::ErrorCode::FileMissing) {
        if (!ReportError(53, {}))
            return false;
    } else if (!loaded.ok()) {
        const auto [number, text] = loadFault(loaded);
        ReportError(number, text);
    }
    fillCategoryLists();
    unitdb::sortUnits(m_tables);
    m_loadedTables = std::make_unique<unitdb::UnitTables>(m_tables);

    if (m_settings->ReadEntry("Launched", "0") == "0")
        RegisterProg();

    selectIn(m_selUnit, storedPosition("Velic", m_selUnit->count()));
    selectIn(m_inUnit, storedPosition("Field1", m_inUnit->count()));
    for (int i = 0; i < 4; ++i) {
        const std::string name = "Field" + std::to_string(i + 2);
        QComboBox* out = m_outUnit[static_cast<std::size_t>(i)];
        selectIn(out, storedPosition(name.c_str(), out->count()));
    }

    const long round = storedNumber("Round");
    if (round > -1)
        m_settingsDialog->setPlaces(static_cast<int>(std::min(round, 15L)));
    else
        m_settingsDialog->setRounding(false);

    m_settingsDialog->setLogging(storedNumber("Logging") != 0);
    m_settingsDialog->setLogFile(qs(m_settings->ReadEntry("Logfile", "")));
    m_settingsDialog->selectCategory(0);
    m_editor->selectCategory(0);

    for (const auto& single : unitdb::singleUnitCategories(m_tables))
        m_msg.show(this,
                   QStringLiteral("Раздел описания физической величины '%1 содержит только одну "
                                  "единицу измерения - '%2'!")
                       .arg(qs(single.categoryName), qs(single.unitName)),
                   ui::programTitle());

    if (m_settingsDialog->logging()) {
        m_currentFile = m_settingsDialog->logFile();
        openLog(CalcLog::Mode::Create);
    }
    return true;
}

void ConversionWindow::fillCategoryLists()
{
    const QStringList ignored = m_settingsDialog->ignored();
    const QSignalBlocker block(m_selUnit);
    m_selUnit->clear();
    for (int c = 0; c < m_tables.CatCount; ++c) {
        const QString name = qs(m_tables.CatNames[static_cast<std::size_t>(c)]);
        m_settingsDialog->addCategory(name);
        m_editor->addCategory(name);
        if (!ignored.contains(name))
            m_selUnit->addItem(name);
    }
    m_selUnit->setCurrentIndex(-1);
}

bool ConversionWindow::openLog(CalcLog::Mode mode)
{
    const QString name = m_settingsDialog->logFile();
    if (name.trimmed().isEmpty()) {
        ReportError(52, QStringLiteral("Неверное имя log-файла."));
        m_logFailed = true;
        return false;
    }
    if (auto failure = m_log.open(name.toStdString(), mode, caption().toStdString())) {
        // Reported once; logging stays off for the rest of the run.
        ReportError(75,
                    QStringLiteral("Не удалось открыть log-файл %1: %2").arg(name, qs(*failure)));
        m_logFailed = true;
        return false;
    }
    return true;
}

long ConversionWindow::storedNumber(const char* name)
{
    const std::string text = m_settings->ReadEntry(name, "0");
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size() ? value : 0;
}

int ConversionWindow::storedPosition(const char* name, int count)
{
    const long value = storedNumber(name);
    // Below -1, or not a number at all: the first entry.
    if (value < -1 || value >= count)
        return 0;
    return static_cast<int>(value);
}

void ConversionWindow::RegisterProg()
{
    const std::pair<const char*, const char*> defaults[] = {
        {"Velic", "0"},   {"Field1", "0"},   {"Field2", "0"},        {"Field3", "0"},
        {"Field4", "0"},  {"Field5", "0"},   {"Round", "9"},         {"Launched", "1"},
        {"Logging", "0"}, {"Ignoring", "0"}, {"LogFile", "log.txt"},
    };
    for (const auto& [name, value] : defaults)
        m_settings->WriteEntry(name, value);
    m_settings->flush(); // so that a later crash does not make the next start a first one
}

bool ConversionWindow::ReportError(int number, QString description)
{
    bool fatal = false;
    if (number == 52)
        RegisterProg();
    if (number == 53) {
        if (m_currentFile == m_settingsDialog->logFile() ||
            m_currentFile == QLatin1String(kIgnoreFile))
            std::ofstream(m_currentFile.toStdString(), std::ios::binary);
        if (m_currentFile == QLatin1String(kBaseFile)) {
            description = QStringLiteral(
                "Файл Base.dat не найден. Верните его на место, либо переустановите программу.");
            fatal = true;
        }
    }
    if (number == 6)
        description = QStringLiteral("Переполнение! Не используйте числа больше 10^300.");
    m_msg.show(this, QStringLiteral("Ошибка № %1: %2").arg(number).arg(description),
               QStringLiteral("Ошибка!"), fatal ? MsgIcon::Stop : MsgIcon::Exclamation);
    return !fatal;
}

QString ConversionWindow::report() const
{
    return qs(unitdb::report(m_tables, std::filesystem::path(kBaseFile), kVersion));
}

bool ConversionWindow::FileExists(const QString& name)
{
    if (name.isEmpty())
        return false;
    const QFileInfo info(name);
    const QDir dir = info.dir();
    const auto found = dir.entryInfoList(QStringList{info.fileName()}, QDir::Files);
    return !found.isEmpty();
}

void ConversionWindow::shutDown()
{
    if (m_settingsDialog->ignoring())
        saveWithRetry(QString::fromLatin1(kIgnoreFile), [this] { return saveIgnoreList(); });

    auto write = [this](const char* name, long value) {
        m_settings->WriteEntry(name, std::to_string(value));
    };
    write("Velic", m_selUnit->currentIndex());
    write("Field1", m_inUnit->currentIndex());
    for (int i = 0; i < 4; ++i)
        write(("Field" + std::to_string(i + 2)).c_str(),
              m_outUnit[static_cast<std::size_t>(i)]->currentIndex());
    write("Round", m_settingsDialog->rounding() ? m_settingsDialog->places() : -1);
    write("Launched", 1);
    write("Logging", m_settingsDialog->logging() ? 1 : 0);
    write("Ignoring", m_settingsDialog->ignoring() ? 1 : 0);
    m_settings->WriteEntry("Logfile", m_settingsDialog->logFile().toStdString());
    m_settings->flush();

    m_log.close();

    if (m_tables.BaseChanged &&
        (!m_loadedTables || !unitdb::sameContent(m_tables, *m_loadedTables)) &&
        m_msg.message(this, QStringLiteral("База данных была изменена. Сохранить изменения?"),
                      ui::programTitle(), MsgIcon::Question, MsgButtons::YesNo) == MsgAnswer::Yes)
        saveWithRetry(QString::fromLatin1(kBaseFile), [this] { return saveBase(); });

    m_settingsDialog->hide();
    m_editor->hide();
    if (m_aboutBox)
        m_aboutBox->hide();
}

QString ConversionWindow::saveIgnoreList()
{
    const auto bytes = unitdb::ignoreListBytes([this] {
        std::vector<std::string> names;
        for (const QString& name : m_settingsDialog->ignored())
            names.push_back(name.toStdString());
        return names;
    }());
    if (!bytes.ok())
        return QStringLiteral(
            "имя величины содержит символ, которого нет в кодировке Windows-1251");
    const auto written = unitdb::writeFileAtomically(kIgnoreFile, bytes.bytes);
    return written.ok() ? QString() : writeFault(written);
}

QString ConversionWindow::saveBase()
{
    unitdb::SaveOptions options;
    // A file read only in part keeps its original beside the new one.
    if (m_loadedPartly)
        options.backup = unitdb::BackupMode::KeepOriginal;
    const auto saved = unitdb::save(m_tables, kBaseFile, options);
    if (saved.ok())
        return {};
    switch (saved.code) {
    case unitdb::ErrorCode::Unencodable:
        return QStringLiteral("в разделе «%1» есть символ, которого нет в кодировке Windows-1251")
            .arg(qs(m_tables.CatNames[static_cast<std::size_t>(std::max(0, saved.category))]));
    case unitdb::ErrorCode::UnwritableText:
    case unitdb::ErrorCode::BadCoefficient:
        return QStringLiteral("в разделе «%1» есть запись, которую файл не может сохранить")
            .arg(qs(m_tables.CatNames[static_cast<std::size_t>(std::max(0, saved.category))]));
    default:
        return writeFault(saved.write);
    }
}

void ConversionWindow::saveWithRetry(const QString& file, const std::function<QString()>& save)
{
    // Edits are never dropped silently: the user sees why and may try again.
    for (QString failure = save(); !failure.isEmpty(); failure = save()) {
        const auto answer =
            m_msg.message(this,
                          QStringLiteral("Не удалось сохранить файл %1: %2. Повторить попытку?")
                              .arg(file, failure),
                          QStringLiteral("Ошибка!"), MsgIcon::Exclamation, MsgButtons::YesNo);
        if (answer != MsgAnswer::Yes)
            return;
    }
}
