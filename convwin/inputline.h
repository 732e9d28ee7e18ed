// The input line: the whole text is selected when it takes the focus, and Enter, Up and Down
// are its own signals rather than keys the window filters.
#pragma once

#include <QLineEdit>

class InputLine : public QLineEdit
{
    Q_OBJECT
public:
    explicit InputLine(QWidget* parent);

    // Shows the text as the model keeps it, the caret where it was, without a change signal.
    void showText(const QString& text);
    // The same for a text that replaces the line, the caret at its end.
    void replaceText(const QString& text);

signals:
    // The user changed the text.
    void typed(const QString& text);
    void entered();
    void olderWanted(); // Up: the text evaluated before
    void newerWanted(); // Down

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool m_showing = false;
};
