// What the program's three dialogs share: each is shown beside the waiting main window, not
// modal, and leaves only by handing the main window back.
#pragma once

#include <QDialog>

class HandBackDialog : public QDialog
{
    Q_OBJECT
public:
    // Esc and any other rejection do what the OK button does, so the main window is never
    // left disabled behind a hidden dialog.
    void reject() override;

signals:
    // The OK button, Esc or the close button: the main window takes over again.
    void handedBack();

protected:
    HandBackDialog(QWidget* parent, Qt::WindowFlags flags);

    // What the OK button does; it hides the dialog and emits handedBack() unless it refuses.
    virtual void confirm() = 0;

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};
