// The About box's labels at their designed places; closing it hands the main window back.
#include "dialogs/aboutbox.h"

#include "dialogs/uistyle.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace
{

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QFont& font,
                 const QColor& colour, QRect geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour.name()));
    label->setGeometry(geometry);
    return label;
}

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : HandBackDialog(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Метрованта - Создатель"));
    setFont(ui::programFont());
    setFixedSize(ui::twips(2880), ui::twips(1155));

    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(ui::twipsRect(53, 60, 2175, 1095));
    shape->setStyleSheet(
        QStringLiteral("#Shape1 { background: #FFC0C0; border: 1px solid #FF0000; }"));

    const QColor darkRed(0x80, 0x00, 0x00);
    QFont nick(QStringLiteral("Courier New"));
    nick.setPointSizeF(14.25);
    nick.setBold(true);
    QFont bold = ui::programFont();
    bold.setBold(true);

    addLabel(this, "Label7", QStringLiteral("Ravlo"), nick, QColor(0xFF, 0, 0),
             ui::twipsRect(233, 120, 1815, 330));
    addLabel(this, "Label1", QStringLiteral("Кворвеллант"), bold, darkRed,
             ui::twipsRect(143, 495, 1995, 195));
    addLabel(this, "Label5", QStringLiteral("ravlo@quorvellant.ru"), bold, darkRed,
             // As wide as the name above it: the address is longer than the
             // design's box, and the text stays centred on the same axis.
             ui::twipsRect(143, 720, 1995, 195));
    addLabel(this, "Label4", QStringLiteral("Самара, 2004"), ui::programFont(), darkRed,
             ui::twipsRect(495, 915, 1305, 195));

    auto* ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(ui::twipsRect(2280, 800, 615, 375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::confirm);
}

void AboutBox::confirm()
{
    hide();
    emit handedBack();
}
