// The order of shut-down and the questions it asks.
#include "convwin/shutdownsteps.h"

#include "convmodel/session.h"
#include "dialogs/messagetexts.h"
#include "dialogs/messenger.h"
#include "dialogs/uistyle.h"

#include <QDir>
#include <QFileInfo>

namespace
{
const QString kErrorTitle = QStringLiteral("Ошибка!");
} // namespace

ShutdownSteps::ShutdownSteps(convmodel::Session& session, Messenger& messenger, QWidget* window)
    : m_session(session), m_msg(messenger), m_window(window)
{
}

void ShutdownSteps::run()
{
    saveWithRetry(QStringLiteral("Ignore.ini"), [this] {
        const auto failed = m_session.saveIgnoreList();
        return failed ? listSaveReason(*failed) : QString();
    });
    if (const auto failed = m_session.saveSettings()) {
        const Message told = settingsSaveMessage(*failed);
        m_msg.show(m_window, told.text, told.title, told.icon);
    }
    m_session.closeLog();
    m_session.saveHistory();
    if (m_session.databaseEdited() &&
        m_msg.message(m_window, baseSaveQuestion(), ui::programTitle(), MsgIcon::Question,
                      MsgButtons::YesNo) == MsgAnswer::Yes)
        saveDatabase();
}

QString ShutdownSteps::baseSaveQuestion() const
{
    QString text = QStringLiteral("База данных была изменена. Сохранить изменения?");
    if (m_session.baseWhole())
        return text;
    if (m_session.firstUnloadedLine() > 0)
        text += QStringLiteral("\n\nЗаписи файла Base.dat со строки %1 и дальше не были загружены "
                               "и не попадут в сохранённый файл.")
                    .arg(m_session.firstUnloadedLine());
    else
        text += QStringLiteral("\n\nФайл Base.dat не был прочитан, и его записи не попадут в "
                               "сохранённый файл.");
    return text + QStringLiteral(" Прежний файл будет сохранён как Base.dat.bak.");
}

void ShutdownSteps::saveDatabase()
{
    auto onChange = convmodel::DiskChange::Refuse;
    for (;;) {
        const convmodel::BaseSaveOutcome outcome = m_session.saveBase(onChange);
        if (outcome.ok())
            return;
        // Another copy of the program may have saved its own edits since start-up.
        if (outcome.refusedFor != fileio::DiskState::Same) {
            const MsgAnswer answer =
                m_msg.message(m_window, baseOnDiskQuestion(outcome.refusedFor), ui::programTitle(),
                              MsgIcon::Question, MsgButtons::YesNoCancel);
            if (answer == MsgAnswer::No)
                saveDatabaseElsewhere(AskFirst::No);
            if (answer != MsgAnswer::Yes)
                return;
            onChange = convmodel::DiskChange::Overwrite;
            continue;
        }
        const QString failure =
            baseSaveReason(outcome.saved, m_session.database(), QStringLiteral("Base.dat"));
        if (!askRetry(QStringLiteral("Base.dat"), failure)) {
            saveDatabaseElsewhere(AskFirst::Yes);
            return;
        }
    }
}

void ShutdownSteps::saveDatabaseElsewhere(AskFirst ask)
{
    // Beside Base.dat, or in the home folder when that folder takes no new file.
    const QString dataFolder = ui::qs(m_session.files().folder.string());
    const QString folder = QFileInfo(dataFolder).isWritable() ? dataFolder : QDir::homePath();
    const QString proposed = QDir(folder).filePath(QStringLiteral("Base.dat.unsaved"));
    for (;; ask = AskFirst::Yes) {
        if (ask == AskFirst::Yes &&
            m_msg.message(m_window,
                          QStringLiteral("Изменения базы данных не сохранены. Сохранить таблицы "
                                         "в другой файл? Если нет, изменения будут потеряны."),
                          kErrorTitle, MsgIcon::Exclamation, MsgButtons::YesNo) != MsgAnswer::Yes)
            return;
        const auto chosen =
            m_msg.saveFileName(m_window, QStringLiteral("Сохранить базу данных в файл"), proposed);
        if (!chosen)
            continue;
        const QString failure = saveBaseAs(*chosen);
        if (failure.isEmpty())
            return;
        m_msg.message(m_window,
                      QStringLiteral("Не удалось сохранить файл %1: %2.").arg(*chosen, failure),
                      kErrorTitle, MsgIcon::Exclamation, MsgButtons::Ok);
    }
}

QString ShutdownSteps::saveBaseAs(const QString& file)
{
    const unitdb::SaveResult saved = m_session.saveBaseAs(ui::utf8(file));
    return saved.ok() ? QString()
                      : baseSaveReason(saved, m_session.database(), QFileInfo(file).fileName());
}

bool ShutdownSteps::askRetry(const QString& file, const QString& failure)
{
    // Edits are never dropped silently: the user sees why and may try again.
    return m_msg.message(m_window,
                         QStringLiteral("Не удалось сохранить файл %1: %2. Повторить попытку?")
                             .arg(file, failure),
                         kErrorTitle, MsgIcon::Exclamation, MsgButtons::YesNo) == MsgAnswer::Yes;
}

bool ShutdownSteps::saveWithRetry(const QString& file, const std::function<QString()>& save)
{
    for (QString failure = save(); !failure.isEmpty(); failure = save())
        if (!askRetry(file, failure))
            return false;
    return true;
}
