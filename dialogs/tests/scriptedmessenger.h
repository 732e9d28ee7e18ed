// A stand-in for the program's message and input boxes: it records what would be
// shown and answers from queues the test fills beforehand.
#pragma once

#include "dialogs/messenger.h"

#include <QList>
#include <QQueue>
#include <QString>

#include <optional>

struct ShownMessage {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

struct ShownInput {
    QString prompt;
    QString title;
    QString answer; // the text the box was opened with
};

class ScriptedMessenger final : public Messenger
{
public:
    // Answers to message boxes, first first; when empty, OK boxes answer Ok and Yes/No boxes No.
    QQueue<MsgAnswer> answers;
    // Answers to input boxes; nullopt is Cancel, and so is an empty queue.
    QQueue<std::optional<QString>> inputAnswers;

    QList<ShownMessage> messages;
    QList<ShownInput> inputs;

    MsgAnswer message(QWidget*, const QString& text, const QString& title, MsgIcon icon,
                      MsgButtons buttons) override
    {
        messages.append({text, title, icon, buttons});
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }

    std::optional<QString> inputBox(QWidget*, const QString& prompt, const QString& title,
                                    const QString& answer) override
    {
        inputs.append({prompt, title, answer});
        if (inputAnswers.isEmpty())
            return std::nullopt;
        return inputAnswers.dequeue();
    }
};
