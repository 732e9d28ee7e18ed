// Saving at shut-down: Base.dat and Ignore.ini, with a second chance for every
// failure, so that edits are lost only when the user says so.
#include "convwin/conversionwindow.h"

#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/systemreason.h"
#include "dialogs/textmessages.h"
#include "dialogs/uistyle.h"
#include "fileio/atomicfile.h"
#include "unitdb/basefile.h"
#include "unitdb/ignorefile.h"

#include <QDir>
#include <QFileInfo>

namespace
{

const char* const kBaseFile = "Base.dat";
const char* const kIgnoreFile = "Ignore.ini";

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// The reason and, when it is not the file the user named, the file it concerns.
QString writeFault(const fileio::FileWriteResult& w, const QString& named)
{
    const QString reason = fileReason(w.code, w.systemError);
    const QString file = QString::fromStdString(w.file.string());
    if (file == named || QFileInfo(file).fileName() == named)
        return reason;
    return QStringLiteral("%1: %2").arg(file, reason);
}

} // namespace

QString ConversionWindow::baseSaveQuestion() const
{
    QString text = QStringLiteral("База данных была изменена. Сохранить изменения?");
    if (m_base.whole)
        return text;
    if (m_base.firstUnloadedLine > 0)
        text += QStringLiteral("\n\nЗаписи файла Base.dat со строки %1 и дальше не были загружены "
                               "и не попадут в сохранённый файл.")
                    .arg(m_base.firstUnloadedLine);
    else
        text += QStringLiteral("\n\nФайл Base.dat не был прочитан, и его записи не попадут в "
                               "сохранённый файл.");
    return text + QStringLiteral(" Прежний файл будет сохранён как Base.dat.bak.");
}

void ConversionWindow::saveDatabase()
{
    // Another copy of the program may have saved its own edits since start-up.
    if (m_base.stamp && fileio::compareWithDisk(kBaseFile, *m_base.stamp, unitdb::kBaseFileLimit) ==
                            fileio::DiskState::Changed) {
        const MsgAnswer answer = m_msg.message(
            this,
            QStringLiteral("Файл Base.dat изменился на диске после запуска программы: его могла "
                           "сохранить другая копия программы. Записать изменения поверх него?\n\n"
                           "«Да» — перезаписать файл, «Нет» — сохранить таблицы в другой файл, "
                           "«Отмена» — не сохранять."),
            ui::programTitle(), MsgIcon::Question, MsgButtons::YesNoCancel);
        if (answer == MsgAnswer::No)
            saveDatabaseElsewhere(AskFirst::No);
        if (answer != MsgAnswer::Yes)
            return;
    }
    if (!saveWithRetry(QString::fromLatin1(kBaseFile), [this] { return saveBase(kBaseFile); }))
        saveDatabaseElsewhere(AskFirst::Yes);
}

void ConversionWindow::saveDatabaseElsewhere(AskFirst ask)
{
    // Beside Base.dat, or in the home folder when that folder takes no new file.
    const QString folder =
        QFileInfo(QFileInfo(QString::fromLatin1(kBaseFile)).absolutePath()).isWritable()
            ? QDir::currentPath()
            : QDir::homePath();
    const QString proposed = QDir(folder).filePath(QStringLiteral("Base.dat.unsaved"));
    for (;; ask = AskFirst::Yes) {
        if (ask == AskFirst::Yes &&
            m_msg.message(this,
                          QStringLiteral("Изменения базы данных не сохранены. Сохранить таблицы "
                                         "в другой файл? Если нет, изменения будут потеряны."),
                          QStringLiteral("Ошибка!"), MsgIcon::Exclamation,
                          MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        const auto chosen =
            m_msg.saveFileName(this, QStringLiteral("Сохранить базу данных в файл"), proposed);
        if (!chosen)
            continue;
        const QString failure = saveBase(chosen->toStdString());
        if (failure.isEmpty())
            return;
        m_msg.message(this,
                      QStringLiteral("Не удалось сохранить файл %1: %2.").arg(*chosen, failure),
                      QStringLiteral("Ошибка!"), MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

QString ConversionWindow::saveIgnoreList()
{
    QStringList ignored;
    for (const std::string& name : m_settingsDialog->values().ignoredCategories)
        ignored << QString::fromStdString(name);
    // A list that could not be read is replaced only when there is something to put
    // in its place, and then a copy of it is kept.
    if (m_ignoreUnread && ignored.isEmpty())
        return {};
    std::vector<std::string> names;
    for (const QString& name : ignored)
        names.push_back(name.toStdString());
    const auto bytes = unitdb::ignoreListBytes(names, m_ignoreEncoding);
    // Only a name put in the list past the dialog's check; the words lose their period here.
    if (!bytes.ok())
        return QStringLiteral("имя величины «%1» не может быть записано: %2")
            .arg(ignored[static_cast<qsizetype>(bytes.index)],
                 textRefusal(bytes.refused).chopped(1));
    if (m_ignoreUnread) {
        const auto kept = fileio::keepCopy(kIgnoreFile, std::string(kIgnoreFile) + ".bak",
                                           unitdb::kListFileLimit);
        if (!kept.ok())
            return QStringLiteral("не удалось сохранить копию прежнего файла (%1)")
                .arg(writeFault(kept, {}));
    }
    const auto written = fileio::writeFileAtomically(kIgnoreFile, bytes.bytes);
    if (!written.ok())
        return writeFault(written, QString::fromLatin1(kIgnoreFile));
    m_ignoreUnread = false;
    return {};
}

QString ConversionWindow::saveBase(const std::string& file)
{
    const bool toBaseDat = QFileInfo(qs(file)).absoluteFilePath() ==
                           QFileInfo(QString::fromLatin1(kBaseFile)).absoluteFilePath();
    unitdb::SaveOptions options;
    // A file the database does not hold whole keeps its original beside the new one.
    if (toBaseDat && !m_base.whole)
        options.backup = unitdb::BackupMode::KeepOriginal;
    const auto saved = unitdb::save(m_db, file, options);
    switch (saved.code) {
    case unitdb::ErrorCode::None:
        if (toBaseDat) {
            const auto now = fileio::readFile(kBaseFile, unitdb::kBaseFileLimit);
            m_base = {true, 0, now.ok() ? std::optional(now.stamp) : std::nullopt};
        }
        return {};
    case unitdb::ErrorCode::BackupFailed:
        return QStringLiteral("не удалось сохранить прежний файл как Base.dat.bak (%1)")
            .arg(writeFault(saved.write, {}));
    case unitdb::ErrorCode::WriteFailed:
        return writeFault(saved.write, qs(file));
    default:
        break;
    }
    // The rest name a text or a coefficient in the database.
    const unitdb::Quantity& quantity = m_db[saved.quantity];
    QString where = QStringLiteral("в величине «%1»").arg(qs(quantity.name));
    if (saved.slot)
        where += QStringLiteral(" единица «%1»").arg(qs(quantity.units[*saved.slot].name));
    if (saved.code == unitdb::ErrorCode::Unencodable)
        return where +
               QStringLiteral(" содержит символ «%1», которого нет в кодировке Windows-1251")
                   .arg(QString::fromUcs4(&saved.character, 1));
    if (saved.field)
        return where + QStringLiteral(" содержит текст, который файл не может сохранить");
    if (saved.code == unitdb::ErrorCode::BadCoefficient)
        return where + QStringLiteral(": коэффициент не является числом");
    return where + QStringLiteral(": нужно число больше нуля");
}

bool ConversionWindow::saveWithRetry(const QString& file, const std::function<QString()>& save)
{
    // Edits are never dropped silently: the user sees why and may try again.
    for (QString failure = save(); !failure.isEmpty(); failure = save()) {
        const auto answer =
            m_msg.message(this,
                          QStringLiteral("Не удалось сохранить файл %1: %2. Повторить попытку?")
                              .arg(file, failure),
                          QStringLiteral("Ошибка!"), MsgIcon::Exclamation, MsgButtons::YesNo);
        if (answer != MsgAnswer::Yes)
            return false;
    }
    return true;
}
