// Shut-down's conversation with the user: the ignore list, the settings and Base.dat are
// saved, and a save that fails is told, offered again and, for Base.dat, offered to another
// file, so that edits are lost only when the user says so.
#pragma once

#include <QString>

#include <functional>

class Messenger;
class QWidget;
namespace convmodel
{
class Session;
}

class ShutdownSteps
{
public:
    ShutdownSteps(convmodel::Session& session, Messenger& messenger, QWidget* window);

    void run();

private:
    QString baseSaveQuestion() const;
    void saveDatabase();
    enum class AskFirst { No, Yes };
    void saveDatabaseElsewhere(AskFirst ask);
    // The reason in words when saving into `file` failed; empty when it was saved.
    QString saveBaseAs(const QString& file);
    // Whether the user wants another try after `failure`.
    bool askRetry(const QString& file, const QString& failure);
    // False when the user gave up after a failure.
    bool saveWithRetry(const QString& file, const std::function<QString()>& save);

    convmodel::Session& m_session;
    Messenger& m_msg;
    QWidget* m_window;
};
