// The output field's mouse, keys and menu.
#include "convwin/outputfield.h"

#include "dialogs/uistyle.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>

namespace
{
constexpr int kRowTop = 840;
constexpr int kRowStep = 360;
} // namespace

OutputField::OutputField(int row, QWidget* parent) : QLineEdit(QStringLiteral("0"), parent)
{
    setObjectName(QStringLiteral("OutText_%1").arg(row));
    setAccessibleName(QStringLiteral("Результат %1").arg(row + 1));
    setAccessibleDescription(
        QStringLiteral("Enter или щелчок делают результат значением; Ctrl+C копирует его"));
    setGeometry(ui::twipsRect(120, kRowTop + kRowStep * row, 2295, 315));
    setReadOnly(true);
    setFocusPolicy(Qt::TabFocus); // reached by Tab, to copy or swap by key
    setCursor(Qt::PointingHandCursor);
    ui::setColours(this, ui::kOutputBack, ui::kOutputText);
}

void OutputField::mousePressEvent(QMouseEvent* event)
{
    // The right button brings the menu.
    if (event->button() == Qt::LeftButton)
        emit swapRequested();
    else
        QLineEdit::mousePressEvent(event);
}

void OutputField::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void OutputField::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyValue(); // the whole value, selected or not
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_Space) {
        emit swapRequested();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void OutputField::contextMenuEvent(QContextMenuEvent* event)
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("OutputMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(QStringLiteral("Копировать"), this, [this] { copyValue(); });
    menu->addAction(QStringLiteral("Поменять местами"), this, [this] { emit swapRequested(); });
    menu->popup(event->globalPos());
}

void OutputField::copyValue()
{
    QGuiApplication::clipboard()->setText(text());
}
