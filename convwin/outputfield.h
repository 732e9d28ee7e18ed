// An output value: read-only, reached by Tab; a click, Enter or Space asks to make it the
// input, Ctrl+C copies the whole value, and its menu offers both.
#pragma once

#include <QLineEdit>

class OutputField : public QLineEdit
{
    Q_OBJECT
public:
    OutputField(int row, QWidget* parent);

signals:
    void swapRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void copyValue();
};
