// Start-up and shut-down of the program, the first-run defaults and the
// window's error reporter.
#include "convwin/conversionwindow.h"

#include "calc/numbertext.h"
#include "convwin/ownfiles.h"

#include "dialogs/aboutbox.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/systemreason.h"
#include "dialogs/uistyle.h"
#include "settings/settingsstore.h"
#include "settings/storednames.h"
#include "unitdb/basefile.h"
#include "unitdb/ignorefile.h"
#include "unitdb/report.h"
#include "unitdb/unitsort.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QSignalBlocker>

#include <cmath>
#include <fstream>
#include <utility>

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
    case ErrorCode::FileUnread:
        if (r.fileError == fileio::FileError::TooLarge)
            return {7, QStringLiteral("Файл Base.dat слишком велик для базы единиц.")};
        return {75, QStringLiteral("Не удалось прочитать файл Base.dat: %1.")
                        .arg(fileReason(r.fileError, r.systemError))};
    case ErrorCode::EmptyFile:
        return {62, QStringLiteral("Файл Base.dat пуст: в нём нет ни одной величины. Добавьте "
                                   "величины в редакторе базы или верните файл на место.")};
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

// Why the settings will not be kept, as start-up tells it.
QString settingsUnkeptReason(const settings::StoreStatus& s)
{
    if (s.code == settings::StoreError::FileUnread)
        return QStringLiteral("файл «%1» не удалось прочитать: %2")
            .arg(qs(s.file.string()), fileReason(s.fileError, s.systemError));
    return QStringLiteral("в папку «%1» нельзя записать: %2")
        .arg(qs(s.file.parent_path().string()), systemReason(s.systemError));
}

} // namespace

bool ConversionWindow::startUp()
{
    m_panelOpen = false;
    setWindowTitle(caption());
    if (!m_settingsDialog) {
        m_settingsDialog = new SettingsDialog(m_msg, [this] { return report(); });
        connect(m_settingsDialog, &SettingsDialog::roundingChanged, this, [this] { convert(); });
        connect(m_settingsDialog, &SettingsDialog::handedBack, this,
                &ConversionWindow::settingsHandedBack);
        m_settingsDialog->setLogFileCheck([this](const QString& name) { return ownFileFor(name); });
    }
    if (!m_editor) {
        m_editor = new DatabaseEditor(m_db, m_msg);
        connect(m_editor, &DatabaseEditor::handedBack, this, &ConversionWindow::editorHandedBack);
    }

    checkSettingsFile();

    settings::RuntimeSettings values = m_settingsDialog->values();
    values.ignoring =
        storedNumber("Ignoring") != 0 ? settings::Ignoring::On : settings::Ignoring::Off;

    // Read in any letter case: a list copied from another system is often IGNORE.INI.
    const QString ignoreFile = ownfiles::findFile(QDir::currentPath(), QLatin1String(kIgnoreFile));
    m_currentFile = ignoreFile.isEmpty() ? QString::fromLatin1(kIgnoreFile) : ignoreFile;
    m_ignoreEncoding = unitdb::TextEncoding::Cp1251; // a new list is written as ever
    if (!ignoreFile.isEmpty()) {
        const auto read = fileio::readFile(ignoreFile.toStdString(), unitdb::kListFileLimit);
        // An unread list is never replaced by an empty one at shut-down.
        m_ignoreUnread = !read.ok();
        if (!read.ok()) {
            reportError(75, QStringLiteral("Не удалось прочитать файл %1: %2.")
                                .arg(ignoreFile, fileReason(read.code, read.systemError)));
        } else {
            const unitdb::IgnoreList list = unitdb::parseIgnoreList(read.bytes);
            m_ignoreEncoding = list.encoding;
            values.ignoredCategories.insert(values.ignoredCategories.end(), list.names.begin(),
                                            list.names.end());
        }
    }
    m_settingsDialog->setIgnoreFileEncoding(m_ignoreEncoding);

    m_currentFile = QString::fromLatin1(kBaseFile);
    const unitdb::LoadResult loaded = unitdb::load(m_db, kBaseFile);
    m_base.whole = loaded.ok();
    m_base.firstUnloadedLine = loaded.partial ? loaded.line : 0;
    m_base.stamp.reset();
    if (loaded.ok() || loaded.partial)
        m_base.stamp = loaded.stamp;
    if (loaded.fileError == fileio::FileError::Missing) {
        if (!reportError(53, {}))
            return false;
    } else if (!loaded.ok()) {
        const auto [number, text] = loadFault(loaded);
        reportError(number, text);
    }
    m_databaseLoaded = m_db.size() > 0;
    QStringList ignored;
    for (const std::string& name : values.ignoredCategories)
        ignored << qs(name);
    fillCategoryLists(ignored);
    m_db.sortUnits();
    m_loadedDatabase = m_db;

    if (storedNumber("Launched") == 0) {
        writeFirstRunSettings();
        m_firstRun = true;
    }

    selectIn(m_categoryList, storedPosition("Velic", m_categoryList->count()));
    selectIn(m_inputUnit, storedPosition("Field1", m_inputUnit->count()));
    for (int i = 0; i < 4; ++i) {
        const std::string name = "Field" + std::to_string(i + 2);
        QComboBox* out = m_outputUnits[static_cast<std::size_t>(i)];
        selectIn(out, storedPosition(name.c_str(), out->count()));
    }

    const long round = storedNumber("Round");
    if (round > -1)
        values.decimalPlaces = static_cast<int>(std::min(round, 15L));
    else
        values.rounding = settings::Rounding::Off;

    values.logging = storedNumber("Logging") != 0 ? settings::Logging::On : settings::Logging::Off;
    values.logFile = storedText("Logfile");
    m_settingsDialog->setValues(values, m_quantityNames);
    m_editor->selectCategory(0);

    for (const auto& single : unitdb::singleUnitCategories(m_db))
        m_msg.show(this,
                   QStringLiteral("Раздел описания физической величины '%1 содержит только одну "
                                  "единицу измерения - '%2'!")
                       .arg(qs(single.categoryName), qs(single.unitName)),
                   ui::programTitle());

    if (values.logging == settings::Logging::On) {
        m_currentFile = qs(values.logFile);
        openLog(CalcLog::Mode::Create);
    }
    return true;
}

void ConversionWindow::fillCategoryLists(const QStringList& ignored)
{
    const QSignalBlocker block(m_categoryList);
    m_categoryList->clear();
    m_quantityNames.clear();
    for (const unitdb::Quantity& quantity : m_db.quantities()) {
        const QString name = qs(quantity.name);
        m_quantityNames << name;
        if (!ignored.contains(name))
            m_categoryList->addItem(name);
    }
    m_categoryList->setCurrentIndex(-1);
}

bool ConversionWindow::openLog(CalcLog::Mode mode)
{
    const QString name = qs(m_settingsDialog->values().logFile);
    if (name.trimmed().isEmpty()) {
        reportError(52, QStringLiteral("Неверное имя log-файла. Запись вычислений выключена."));
        switchLoggingOff();
        return false;
    }
    if (const QString own = ownFileFor(name); !own.isEmpty()) {
        reportError(75, QStringLiteral("Log-файл %1 - это файл программы %2. Запись вычислений "
                                       "выключена.")
                            .arg(name, own));
        switchLoggingOff();
        return false;
    }
    if (auto failure = m_log.open(name.toStdString(), mode, caption().toStdString())) {
        reportError(75, QStringLiteral("Не удалось открыть log-файл %1: %2. Запись вычислений "
                                       "выключена.")
                            .arg(name, qs(*failure)));
        switchLoggingOff();
        return false;
    }
    return true;
}

void ConversionWindow::switchLoggingOff()
{
    // Said once; ticking the box again gives the log another try.
    m_logFailed = true;
    settings::RuntimeSettings values = m_settingsDialog->values();
    values.logging = settings::Logging::Off;
    m_settingsDialog->setValues(values, m_quantityNames);
}

QString ConversionWindow::ownFileFor(const QString& logFile) const
{
    std::vector<std::filesystem::path> own{kBaseFile, kIgnoreFile};
    if (!m_settingsFile.empty())
        own.push_back(m_settingsFile);
    const auto hit = ownfiles::sameFile(logFile.toStdString(), own);
    return hit.empty() ? QString() : qs(hit.filename().string());
}

void ConversionWindow::checkSettingsFile()
{
    const settings::StoreStatus status = m_settings->open();
    if (status.droppedLines > 0) {
        QString text = QStringLiteral("Файл настроек поврежден: пропущено строк - %1. Остальные "
                                      "настройки прочитаны")
                           .arg(status.droppedLines);
        if (status.ok())
            text += QStringLiteral(", а прежний файл будет сохранен рядом как «%1»")
                        .arg(qs(status.copy.string()));
        m_msg.show(this, text + QLatin1Char('.'), ui::programTitle());
    }
    if (status.ok())
        return;
    reportError(
        75, QStringLiteral("Настройки не будут сохранены: %1.").arg(settingsUnkeptReason(status)));
    m_settingsUnwritable = true;
}

void ConversionWindow::flushSettings()
{
    const settings::StoreStatus status = m_settings->flush();
    if (status.ok()) {
        m_settingsFlushFailed = false;
        return;
    }
    // Told once until a save succeeds again, and not at all once start-up has said that the
    // settings will not be kept.
    if (m_settingsUnwritable || std::exchange(m_settingsFlushFailed, true))
        return;
    if (status.code == settings::StoreError::RegistryFailed) {
        // The system's own description of a Windows error code.
        m_msg.show(this,
                   QStringLiteral("Error: %1. %2")
                       .arg(status.systemError)
                       .arg(qt_error_string(status.systemError)),
                   QStringLiteral("WriteEntry"));
        return;
    }
    QString reason = fileReason(status.fileError, status.systemError);
    if (status.code == settings::StoreError::CopyFailed)
        reason = QStringLiteral("не удалось сохранить прежний файл как «%1» (%2)")
                     .arg(qs(status.copy.string()), reason);
    m_msg.show(this,
               QStringLiteral("Не удалось сохранить настройки в файле «%1»: %2")
                   .arg(qs(status.file.string()), reason),
               ui::programTitle());
}

std::string ConversionWindow::storedText(const char* name)
{
    const settings::StoredName& entry = settings::storedName(name);
    // On the first run the defaults hold in memory, even when they could not be stored.
    if (m_firstRun)
        return entry.firstRun;
    return m_settings->read(name, entry.fallback);
}

long ConversionWindow::storedNumber(const char* name)
{
    // Read as the program reads any number: blanks and a "+" do not matter, text reads as 0.
    const double value = calc::readNumber(storedText(name));
    return static_cast<long>(std::clamp(value, -1e9, 1e9));
}

int ConversionWindow::storedPosition(const char* name, int count)
{
    const long value = storedNumber(name);
    // No selection stored, or one past the end of the list: the first entry.
    return value < 0 || value >= count ? 0 : static_cast<int>(value);
}

void ConversionWindow::writeFirstRunSettings()
{
    settings::writeFirstRunValues(*m_settings);
    flushSettings(); // so that a later crash does not make the next start a first one
}

bool ConversionWindow::reportError(int number, QString description)
{
    bool fatal = false;
    if (number == 52)
        writeFirstRunSettings();
    if (number == 53) {
        if (m_currentFile == qs(m_settingsDialog->values().logFile) ||
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
    return qs(unitdb::report(m_db, std::filesystem::path(kBaseFile), kVersion));
}

bool ConversionWindow::fileExists(const QString& name)
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
    const settings::RuntimeSettings values = m_settingsDialog->values();
    if (values.ignoring == settings::Ignoring::On)
        saveWithRetry(QString::fromLatin1(kIgnoreFile), [this] { return saveIgnoreList(); });

    auto write = [this](const char* name, long value) {
        m_settings->write(name, std::to_string(value));
    };
    // Positions in empty lists would wipe out the user's choice for the next good start.
    if (m_databaseLoaded) {
        write("Velic", m_categoryList->currentIndex());
        write("Field1", m_inputUnit->currentIndex());
        for (int i = 0; i < 4; ++i)
            write(("Field" + std::to_string(i + 2)).c_str(),
                  m_outputUnits[static_cast<std::size_t>(i)]->currentIndex());
    }
    write("Round", values.rounding == settings::Rounding::On ? values.decimalPlaces : -1);
    write("Launched", 1);
    write("Logging", values.logging == settings::Logging::On ? 1 : 0);
    write("Ignoring", values.ignoring == settings::Ignoring::On ? 1 : 0);
    m_settings->write("Logfile", values.logFile);
    flushSettings();

    m_log.close();

    if (m_db.changed() && (!m_loadedDatabase || m_db != *m_loadedDatabase) &&
        m_msg.message(this, baseSaveQuestion(), ui::programTitle(), MsgIcon::Question,
                      MsgButtons::YesNo) == MsgAnswer::Yes)
        saveDatabase();

    m_settingsDialog->hide();
    m_editor->hide();
    if (m_aboutBox)
        m_aboutBox->hide();
}
