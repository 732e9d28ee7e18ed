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
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

struct ShownSaveDialog {
    QString title;
    QString proposed;
};

struct ShownInput {
    QString prompt;
    QString title;
    QString answer; // the text the box was opened with
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
    QList<ShownInput> inputs;
    QList<ShownSaveDialog> saveDialogs;

    QStringList texts() const
    {
        QStringList shown;
        for (const ShownMessage& message : messages)
            shown << message.text;
        return shown;
    }

    MsgAnswer message(QWidget*, const QString& text, const QString& title, MsgIcon icon,
                      MsgButtons buttons) override
    {
        messages.append({text, title, icon, buttons});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    }

    std::optional<QString> inputBox(QWidget*, const QString& prompt, const QString& title,
                                    const QString& answer) override
    {
        inputs.append({prompt, title, answer});
        return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.dequeue();
    }

    std::optional<QString> saveFileName(QWidget*, const QString& title,
                                        const QString& proposed) override
    {
        saveDialogs.append({title, proposed});
        return saveAnswers.isEmpty() ? std::nullopt : saveAnswers.dequeue();
    }
};
