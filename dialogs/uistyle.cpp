// Shared look: twip geometry, the program's font, colours, and how dialogs sit over their owner.
#include "dialogs/uistyle.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLocale>
#include <QPalette>
#include <QPushButton>
#include <QWidget>
#include <QWindow>

namespace ui
{

QFont programFont()
{
    static const QFont font = [] {
        QFont f(QFontDatabase::families().contains(QStringLiteral("Verdana"))
                    ? QStringLiteral("Verdana")
                    : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        f.setPointSizeF(8.25);
        return f;
    }();
    return font;
}

void setColours(QWidget* widget, const QColor& back, const QColor& text)
{
    QPalette pal = widget->palette();
    for (auto role : {QPalette::Base, QPalette::Button, QPalette::Window})
        pal.setColor(role, back);
    for (auto role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        pal.setColor(role, text);
    // Keep the colours when the field is read-only or disabled.
    pal.setColor(QPalette::Disabled, QPalette::Base, back);
    widget->setPalette(pal);
    widget->setAutoFillBackground(true);
}

void addEtchedLine(QWidget* parent, const QString& name, int x1, int x2, int y)
{
    const struct {
        int dy;
        QColor colour;
        const char* suffix;
    } parts[] = {{0, QColor(0x80, 0x80, 0x80), "Dark"}, {15, QColor(0xE0, 0xE0, 0xE0), "Light"}};
    for (const auto& part : parts) {
        auto* line = new QFrame(parent);
        line->setObjectName(name + QLatin1String(part.suffix));
        line->setGeometry(twips(x1), twips(y + part.dy), twips(x2 - x1), 1);
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        QPalette pal = line->palette();
        pal.setColor(QPalette::Window, part.colour);
        line->setPalette(pal);
    }
}

QString programTitle()
{
    return QStringLiteral("Метрованта");
}

void pressOnEnter(QWidget* window)
{
    // An auto-default button takes Enter while it has the focus, in any kind of window.
    for (QPushButton* button : window->findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

void showOver(QWidget* dialog, QWidget* owner)
{
    QWidget* main = owner->window();
    // Only a dialog-type window carries the transient link to the window manager.
    if (dialog->windowType() != Qt::Dialog)
        dialog->setWindowFlags((dialog->windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog);
    main->winId(); // both native windows must exist before they are linked
    dialog->winId();
    dialog->windowHandle()->setTransientParent(main->windowHandle());
    const QRect frame = main->frameGeometry();
    dialog->move(frame.center() - QPoint(dialog->width() / 2, dialog->height() / 2));
    pressOnEnter(dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

} // namespace ui
