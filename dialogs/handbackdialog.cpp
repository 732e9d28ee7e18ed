// Closing a dialog by any way hands the main window back, and Enter keeps its meaning from the
// program's other windows.
#include "dialogs/handbackdialog.h"

#include <QCloseEvent>
#include <QKeyEvent>

HandBackDialog::HandBackDialog(QWidget* parent, Qt::WindowFlags flags) : QDialog(parent, flags) {}

void HandBackDialog::reject()
{
    confirm();
}

void HandBackDialog::closeEvent(QCloseEvent* event)
{
    // The dialog lives on, hidden, for the next time; confirm() hides it or refuses.
    event->ignore();
    confirm();
}

void HandBackDialog::keyPressEvent(QKeyEvent* event)
{
    // QDialog would press the default button on Enter from any field: finishing a log name
    // would close the settings, and a unit list's Enter would add a unit. Enter presses only
    // the focused button, as everywhere in the program.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        QWidget::keyPressEvent(event);
    else
        QDialog::keyPressEvent(event);
}
