// Builds the window at its designed twip geometry and keeps the labels in step with the bar.
#include "scales/scaleswindow.h"

#include "dialogs/access.h"
#include "dialogs/qthelpers.h"
#include "scales/temperature.h"

#include <QFont>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace scales
{

const char* const kGeneralHelp =
    "Эта программа переводит перевод температур из 5 шкал. Просто двигайте ползунок, чтобы "
    "подобрать нужную температуру.\r\n";

namespace
{

struct ScaleRow {
    const char* nameObject;
    const char* nameText;
    int nameWidth; // twips
    const char* valueObject;
    const char* buttonObject;
    const char* buttonName; // for assistive technology: the caption is only "?"
    const char* description;
};

// Top to bottom; each row's button sits at the row's height.
const std::array<ScaleRow, 5> kRows{{
    {"Celsius0", "Цельсий", 750, "Celsius", "Command1", "О шкале Цельсия",
     "В 1742 шведский физик Андерс Цельсий предложил температурную шкалу, в которой 1 градус "
     "(1°С) равен 1/100 разности температур кипения воды и таяния льда при атмосферном "
     "давлении, точка таяния льда принята за 0°С, кипения воды — за 100°С. На сегодняшний день "
     "самая популярная температурная шкала."},
    {"Faren0", "Фаренгейт", 915, "Faren", "Command2", "О шкале Фаренгейта",
     "В 1724 году немецкий ученый Фаренгейт предложил температурную шкалу, 1 градус которой "
     "(1°F) равен 1/180 разности температур кипения воды и таяния льда при атмосферном "
     "давлении, а точка таяния льда имеет температуру +32°F. Температура по шкале Фаренгейта "
     "связана с температурой по шкале Цельсия (t°С) соотношением t°С = 5/9 (t°F – 32), "
     "1°F = 5/9°С."},
    {"Kelvin0", "Кельвин", 750, "Kelvin", "Command3", "О шкале Кельвина",
     "Единица термодинамической температуры, равная 1/273,16 части термодинамической "
     "температуры тройной точки воды. До 1968 именовалась градус Кельвина (°К), названа в "
     "честь У. Томсона (Кельвина). Единица Международной практической температурной шкалы; "
     "одна из основных единиц СИ. 1К = 1°С."},
    {"Rankin0", "Ранкин", 630, "Rankin", "Command4", "О шкале Ранкина",
     "Шотландский инженер Ранкин предложил температурную шкалу, нуль которой совпадает с нулем "
     "термодинамической температуры, а по размеру 1°R равен 5/9 К. Шкала не получила "
     "распространения."},
    {"Reomur0", "Реомюр", 675, "Reomur", "Command5", "О шкале Реомюра",
     "Французский ученый Реомюр в 1730 предложил температурную шкалу, один градус которой "
     "равен 1/80 разности температур кипения воды и таяния льда при атмосферном давлении, т.е. "
     "1°R = 5/4 °С. Практически вышла из употребления."},
}};

constexpr int kRowTop = 240;  // twips, inside the frame
constexpr int kRowStep = 240; // twips
constexpr int kLabelHeight = 195;
constexpr int kValueLeft = 1200;
constexpr int kValueWidth = 60;

QFont windowFont()
{
    QFont font;
    if (QFontDatabase::hasFamily(QStringLiteral("Verdana"))) {
        font.setFamily(QStringLiteral("Verdana"));
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(8.25);
    return font;
}

// Labels are placed at their designed box but never cut their text: they grow to the right
// (and down, should a fallback font be taller than the design's).
void fitLabel(QLabel* label, int minWidth, int minHeight)
{
    const QSize hint = label->sizeHint();
    label->resize(std::max(minWidth, hint.width()), std::max(minHeight, hint.height()));
}

} // namespace

ScalesWindow::ScalesWindow(QWidget* parent) : QWidget(parent)
{
    ui::exposeAs(this, QAccessible::Window);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Перевод температур"));
    setFont(windowFont());
    // Everything is placed by hand, so the window keeps its designed client size.
    setFixedSize(ui::twips(4650), ui::twips(4200));

    m_cels = new QScrollBar(Qt::Horizontal, this);
    m_cels->setObjectName(QStringLiteral("Cels"));
    m_cels->setGeometry(ui::twipsRect(120, 120, 4455, 255));
    m_cels->setRange(kMinCelsius, kMaxCelsius);
    m_cels->setSingleStep(1);
    m_cels->setPageStep(25);
    m_cels->setValue(0);
    m_cels->setTracking(true);
    ui::useDesktopKeys(m_cels);
    m_cels->setAccessibleName(QStringLiteral("Температура по Цельсию"));
    m_cels->setAccessibleDescription(
        QStringLiteral("Стрелки меняют её на градус, PgUp и PgDn — на 25 градусов"));

    auto* frame = new QGroupBox(QStringLiteral("Шкалы"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(ui::twipsRect(120, 480, 4455, 1575));

    std::array<QLabel*, kRows.size()> values{};
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const ScaleRow& row = kRows[i];
        const int top = kRowTop + static_cast<int>(i) * kRowStep;

        auto* name = new QLabel(QString::fromUtf8(row.nameText), frame);
        name->setObjectName(QString::fromLatin1(row.nameObject));
        name->setGeometry(ui::twipsRect(120, top, row.nameWidth, kLabelHeight));
        fitLabel(name, ui::twips(row.nameWidth), ui::twips(kLabelHeight));

        values[i] = new QLabel(frame);
        values[i]->setObjectName(QString::fromLatin1(row.valueObject));
        values[i]->setGeometry(ui::twipsRect(kValueLeft, top, kValueWidth, kLabelHeight));

        auto* button = new QPushButton(QStringLiteral("?"), frame);
        button->setObjectName(QString::fromLatin1(row.buttonObject));
        // 255 twips high at a 240-twip pitch, the buttons would overlap by a pixel.
        button->setGeometry(ui::twipsRect(4080, top, 255, kRowStep));
        button->setAutoDefault(true); // Enter presses the focused button, as Space does
        button->setAccessibleName(QString::fromUtf8(row.buttonName));
        button->setAccessibleDescription(QStringLiteral("Показать описание шкалы в поле справки"));
        const QString description = QString::fromUtf8(row.description);
        connect(button, &QPushButton::clicked, this,
                [this, description] { m_helper->setPlainText(description); });
    }
    // Rows are placed from the frame's top edge, so the caption must sit on the border line, as
    // on Windows, not above a border pushed down by a caption's height (Fusion's way). Set after
    // the rows exist: children added under a style sheet lose the window's font.
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox#Frame1 { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox#Frame1::title { subcontrol-origin: margin; subcontrol-position: top left;"
        " left: 6px; padding: 0 2px; background-color: palette(window); }"));
    m_celsius = values[0];
    m_faren = values[1];
    m_kelvin = values[2];
    m_rankin = values[3];
    m_reomur = values[4];

    m_helper = new QPlainTextEdit(this);
    m_helper->setObjectName(QStringLiteral("Helper"));
    m_helper->setGeometry(ui::twipsRect(120, 2160, 4455, 1935));
    m_helper->setReadOnly(true);
    m_helper->setAccessibleName(QStringLiteral("Справка"));
    QPalette palette = m_helper->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, QColor(0x40, 0x40, 0x40));
        palette.setColor(group, QPalette::Text, QColor(0xFF, 0xFF, 0xFF));
    }
    m_helper->setPalette(palette);
    m_helper->setPlainText(QString::fromUtf8(kGeneralHelp));

    // valueChanged covers keys, clicks and, with tracking on, every step of a drag;
    // sliderMoved keeps the labels live during a drag even if tracking were turned off.
    connect(m_cels, &QScrollBar::valueChanged, this, &ScalesWindow::showTemperature);
    connect(m_cels, &QScrollBar::sliderMoved, this, &ScalesWindow::showTemperature);
    showTemperature(m_cels->value());
}

void ScalesWindow::showTemperature(int celsius)
{
    const TemperatureReadings r = temperatureReadings(celsius);
    setValueText(m_celsius, r.celsius);
    setValueText(m_kelvin, r.kelvin);
    setValueText(m_faren, r.fahrenheit);
    setValueText(m_reomur, r.reaumur);
    setValueText(m_rankin, r.rankine);
}

void ScalesWindow::setValueText(QLabel* label, int value)
{
    label->setText(QString::number(value));
    fitLabel(label, ui::twips(kValueWidth), ui::twips(kLabelHeight));
}

} // namespace scales
