// Every message box and input box of the program goes through this interface,
// so that tests can read what would be shown and answer it.
#pragma once

#include <QString>

#include <optional>

class QWidget;

enum class MsgIcon { None, Information, Exclamation, Stop, Question };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class Messenger
{
public:
    virtual ~Messenger() = default;
    virtual MsgAnswer message(QWidget* parent, const QString& text, const QString& title,
                              MsgIcon icon, MsgButtons buttons) = 0;
    // The answer, or nothing on Cancel.
    virtual std::optional<QString> inputBox(QWidget* parent, const QString& prompt,
                                            const QString& title, const QString& answer) = 0;
    // A file chosen to save into, `proposed` chosen at first; nothing on Cancel
    // (which is all a stand-in without a save dialog answers).
    virtual std::optional<QString> saveFileName(QWidget* /*parent*/, const QString& /*title*/,
                                                const QString& /*proposed*/)
    {
        return std::nullopt;
    }

    MsgAnswer show(QWidget* parent, const QString& text, const QString& title,
                   MsgIcon icon = MsgIcon::None)
    {
        return message(parent, text, title, icon, MsgButtons::Ok);
    }
};

// The real boxes: QMessageBox and QInputDialog.
class QtMessenger final : public Messenger
{
public:
    MsgAnswer message(QWidget* parent, const QString& text, const QString& title, MsgIcon icon,
                      MsgButtons buttons) override;
    std::optional<QString> inputBox(QWidget* parent, const QString& prompt, const QString& title,
                                    const QString& answer) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title,
                                        const QString& proposed) override;
};
