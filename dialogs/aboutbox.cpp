// The About box's labels at their designed places; closing it hands the main window back.
#include "dialogs/aboutbox.h"

#include "dialogs/uistyle.h"

#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

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

// The design's contents, from the frame's left and top to the button's right and bottom.
constexpr int kLeft = 53;
constexpr int kTop = 60;
constexpr int kRight = 2280 + 615;
constexpr int kBottom = 800 + 375;

// The design's 2880 twips are narrower than the box's own title beside a window manager's
// icon and buttons, which cut it: the box is as wide as the two need.
int boxWidth(const QWidget& box)
{
    QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    title.setBold(true);
    const int bar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    return std::max(ui::twips(2880),
                    QFontMetrics(title).horizontalAdvance(box.windowTitle()) + 5 * bar);
}

} // namespace

AboutBox::AboutBox(QWidget* parent)
    : HandBackDialog(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Метрованта - Создатель"));
    setFont(ui::programFont());
    // The designed button ran into the window's edges: the contents are centred with the
    // frame's margin on every side.
    const int width = boxWidth(*this);
    setFixedSize(width, ui::twips(kBottom + kTop));
    const int dx = (width - ui::twips(kRight - kLeft)) / 2 - ui::twips(kLeft);
    auto at = [dx](int left, int top, int w, int h) {
        return ui::twipsRect(left, top, w, h).translated(dx, 0);
    };

    auto* shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setGeometry(at(kLeft, kTop, 2175, 1095));
    shape->setStyleSheet(
        QStringLiteral("#Shape1 { background: #FFC0C0; border: 1px solid #FF0000; }"));

    const QColor darkRed(0x80, 0x00, 0x00);
    QFont nick(QStringLiteral("Courier New"));
    nick.setPointSizeF(14.25);
    nick.setBold(true);
    QFont bold = ui::programFont();
    bold.setBold(true);

    addLabel(this, "Label7", QStringLiteral("Ravlo"), nick, QColor(0xFF, 0, 0),
             at(233, 120, 1815, 330));
    addLabel(this, "Label1", QStringLiteral("Кворвеллант"), bold, darkRed, at(143, 495, 1995, 195));
    addLabel(this, "Label5", QStringLiteral("ravlo@quorvellant.ru"), bold, darkRed,
             // As wide as the name above it: the address is longer than the
             // design's box, and the text stays centred on the same axis.
             at(143, 720, 1995, 195));
    addLabel(this, "Label4", QStringLiteral("Самара, 2004"), ui::programFont(), darkRed,
             at(495, 915, 1305, 195));

    auto* ok = new QPushButton(QStringLiteral("ОК"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setGeometry(at(2280, 800, 615, 375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &AboutBox::confirm);
}

void AboutBox::confirm()
{
    hide();
    emit handedBack();
}
