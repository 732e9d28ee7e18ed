// A stand-in for the program's message and input boxes: it records what would be
// shown and answers from queues the test fills beforehand.
#pragma once

#include "dialogs/messenger.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <optional>

struct ShownMessage {
    QString text;
    MsgButtons buttons = MsgButtons::Ok;
};

class ScriptedMessenger final : public Messenger
{
public:
    // Answers to message boxes, first first; when empty, OK boxes answer Ok, the others No.
    QQueue<MsgAnswer> answers;
    // Answers to input boxes; nullopt is Cancel, and so is an empty queue.
    QQueue<std::optional<QString>> inputAnswers;
    // Answers to save dialogs; nullopt is Cancel, and so is an empty queue.
    QQueue<std::optional<QString>> saveAnswers;

    QList<ShownMessage> messages;
    QStringList proposedSaveNames; // what each save dialog offered

    QStringList texts() const
    {
        QStringList shown;
        for (const ShownMessage& message : messages)
            shown << message.text;
        return shown;
    }

    MsgAnswer message(QWidget*, const QString& text, const QString&, MsgIcon,
                      MsgButtons buttons) override
    {
        messages.append({text, buttons});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }

    std::optional<QString> inputBox(QWidget*, const QString&, const QString&,
                                    const QString&) override
    {
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
    }

    std::optional<QString> saveFileName(QWidget*, const QString&, const QString& proposed) override
    {
        proposedSaveNames.append(proposed);
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
    }
};
