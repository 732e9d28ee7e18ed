// The input line's keys and focus.
#include "convwin/inputline.h"

#include "dialogs/uistyle.h"

#include <QKeyEvent>

InputLine::InputLine(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("InText"));
    setAccessibleName(QStringLiteral("Значение"));
    // Where the user types, or nothing on screen would tell of the window's find box.
    setPlaceholderText(QStringLiteral("Ctrl+F — найти единицу"));
    setToolTip(
        QStringLiteral("Число или выражение; Enter вычисляет. Ctrl+F или F3 — найти единицу"));
    setGeometry(ui::twipsRect(120, 480, 2295, 315));
    ui::setColours(this, ui::kFieldBack, ui::kFieldText);
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing)
            emit typed(text);
    });
}

void InputLine::showText(const QString& text)
{
    if (text == this->text())
        return;
    const int caret = cursorPosition();
    m_showing = true;
    setText(text);
    m_showing = false;
    setCursorPosition(caret);
}

void InputLine::replaceText(const QString& text)
{
    m_showing = true;
    setText(text);
    m_showing = false;
}

void InputLine::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    selectAll();
}

void InputLine::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit entered();
        return;
    }
    if (event->key() == Qt::Key_Up) {
        emit olderWanted();
        return;
    }
    if (event->key() == Qt::Key_Down) {
        emit newerWanted();
        return;
    }
    QLineEdit::keyPressEvent(event);
}
