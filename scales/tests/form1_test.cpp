// Drives the real Skalomer window through its named widgets: bar, labels, buttons, help field.
#include "scales/form1.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <memory>

using scales::Form1;

namespace
{

// Value labels top to bottom: Celsius, Fahrenheit, Kelvin, Rankine, Reaumur.
const char* const kValueNames[] = {"Celsius", "Faren", "Kelvin", "Rankin", "Reomur"};
const char* const kNameLabels[] = {"Celsius0", "Faren0", "Kelvin0", "Rankin0", "Reomur0"};
const char* const kButtons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};

template <typename T> T* child(const QWidget& w, const char* name)
{
    auto* found = w.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no widget named %s", name);
    return found;
}

QStringList shownValues(const Form1& w)
{
    QStringList texts;
    for (const char* name : kValueNames)
        texts << child<QLabel>(w, name)->text();
    return texts;
}

QRect scrollBarPart(QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

void moveWithLeftButton(QWidget* w, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QString helperText(const Form1& w)
{
    return child<QPlainTextEdit>(w, "Helper")->toPlainText();
}

} // namespace

class Form1Test : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startsAtZeroWithGeneralHelp();
    void everyControlUsesTheWindowFont();
    void keysMoveTheBar_data();
    void keysMoveTheBar();
    void clicksOnArrowsAndTroughStep_data();
    void clicksOnArrowsAndTroughStep();
    void draggingTheThumbUpdatesBeforeRelease();
    void eachButtonShowsItsScale_data();
    void eachButtonShowsItsScale();
    void secondButtonReplacesFirstDescription();
    void labelsGrowToFitAtTheEnds_data();
    void labelsGrowToFitAtTheEnds();

private:
    std::unique_ptr<Form1> m_window;
    QScrollBar* bar() const { return child<QScrollBar>(*m_window, "Cels"); }
};

void Form1Test::init()
{
    m_window = std::make_unique<Form1>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void Form1Test::cleanup()
{
    m_window.reset();
}

void Form1Test::startsAtZeroWithGeneralHelp()
{
    QCOMPARE(m_window->objectName(), QStringLiteral("Form1"));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Перевод температур"));
    QCOMPARE(bar()->value(), 0);
    QCOMPARE(shownValues(*m_window), (QStringList{"0", "32", "273", "491", "0"}));
    for (const char* name : kNameLabels)
        QVERIFY(!child<QLabel>(*m_window, name)->text().isEmpty());

    const QString help = helperText(*m_window);
    QVERIFY(
        help.startsWith(QStringLiteral("Эта программа переводит перевод температур из 5 шкал.")));
    // The text box keeps the trailing CR LF as one line break.
    QVERIFY(QByteArray(scales::kGeneralHelp).endsWith("температуру.\r\n"));
    QVERIFY(help.endsWith(QStringLiteral("температуру.\n")));
    QCOMPARE(help.count(QLatin1Char('\n')), 1);
    QVERIFY(!help.contains(QLatin1Char('\r')));
    QVERIFY(child<QPlainTextEdit>(*m_window, "Helper")->isReadOnly());
}

void Form1Test::everyControlUsesTheWindowFont()
{
    const QList<QWidget*> controls = m_window->findChildren<QWidget*>();
    QVERIFY(controls.size() >= 22);
    for (const QWidget* w : controls) {
        if (w->objectName().isEmpty())
            continue; // the text box's viewport and scroll bars
        QVERIFY2(qAbs(w->font().pointSizeF() - 8.25) < 0.01, qPrintable(w->objectName()));
        QCOMPARE(w->font().family(), m_window->font().family());
    }
}

void Form1Test::keysMoveTheBar_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("Right") << QList<int>{Qt::Key_Right}
                           << QStringList{"1", "33", "274", "493", "0"};
    QTest::newRow("Left Left") << QList<int>{Qt::Key_Left, Qt::Key_Left}
                               << QStringList{"-2", "28", "271", "487", "-2"};
    QTest::newRow("Home") << QList<int>{Qt::Key_Home}
                          << QStringList{"-273", "-460", "0", "0", "-219"};
    QTest::newRow("End") << QList<int>{Qt::Key_End}
                         << QStringList{"1000", "1832", "1273", "2291", "800"};
    QTest::newRow("End Right stays") << QList<int>{Qt::Key_End, Qt::Key_Right}
                                     << QStringList{"1000", "1832", "1273", "2291", "800"};
    QTest::newRow("Home Left stays")
        << QList<int>{Qt::Key_Home, Qt::Key_Left} << QStringList{"-273", "-460", "0", "0", "-219"};
    QTest::newRow("Down") << QList<int>{Qt::Key_Down} << QStringList{"1", "33", "274", "493", "0"};
    QTest::newRow("Up") << QList<int>{Qt::Key_Up} << QStringList{"-1", "30", "272", "489", "-1"};
    QTest::newRow("PageDown") << QList<int>{Qt::Key_PageDown}
                              << QStringList{"25", "77", "298", "536", "20"};
    QTest::newRow("PageUp") << QList<int>{Qt::Key_PageUp}
                            << QStringList{"-25", "-13", "248", "446", "-20"};
    QTest::newRow("Right then back to 0")
        << QList<int>{Qt::Key_Right, Qt::Key_Left} << QStringList{"0", "32", "273", "491", "0"};
}

void Form1Test::keysMoveTheBar()
{
    QFETCH(QList<int>, keys);
    for (int key : keys)
        QTest::keyClick(bar(), static_cast<Qt::Key>(key));
    QTEST(shownValues(*m_window), "expected");
}

void Form1Test::clicksOnArrowsAndTroughStep_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("right arrow") << int(QStyle::SC_ScrollBarAddLine)
                                 << QStringList{"1", "33", "274", "493", "0"};
    QTest::newRow("left arrow") << int(QStyle::SC_ScrollBarSubLine)
                                << QStringList{"-1", "30", "272", "489", "-1"};
    QTest::newRow("trough right of thumb")
        << int(QStyle::SC_ScrollBarAddPage) << QStringList{"25", "77", "298", "536", "20"};
    QTest::newRow("trough left of thumb")
        << int(QStyle::SC_ScrollBarSubPage) << QStringList{"-25", "-13", "248", "446", "-20"};
}

void Form1Test::clicksOnArrowsAndTroughStep()
{
    QFETCH(int, part);
    const QRect rect = scrollBarPart(bar(), static_cast<QStyle::SubControl>(part));
    QVERIFY(rect.isValid());
    QTest::mouseClick(bar(), Qt::LeftButton, {}, rect.center());
    QTEST(shownValues(*m_window), "expected");
}

void Form1Test::draggingTheThumbUpdatesBeforeRelease()
{
    QScrollBar* cels = bar();
    const QPoint grab = scrollBarPart(cels, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(cels, Qt::LeftButton, {}, grab);
    QVERIFY(cels->isSliderDown());

    moveWithLeftButton(cels, grab + QPoint(30, 0));
    QVERIFY(cels->isSliderDown());
    const int partWay = cels->sliderPosition();
    QVERIFY(partWay > 0);
    const QStringList shown = shownValues(*m_window);
    QCOMPARE(shown.at(0), QString::number(partWay));
    QCOMPARE(shown.at(2), QString::number(partWay + 273));

    moveWithLeftButton(cels, QPoint(cels->width() + 50, grab.y()));
    QVERIFY(cels->isSliderDown());
    QCOMPARE(shownValues(*m_window), (QStringList{"1000", "1832", "1273", "2291", "800"}));

    moveWithLeftButton(cels, QPoint(-50, grab.y()));
    QCOMPARE(shownValues(*m_window), (QStringList{"-273", "-460", "0", "0", "-219"}));

    QTest::mouseRelease(cels, Qt::LeftButton, {}, QPoint(-50, grab.y()));
    QVERIFY(!cels->isSliderDown());
    QCOMPARE(cels->value(), -273);
    QCOMPARE(shownValues(*m_window), (QStringList{"-273", "-460", "0", "0", "-219"}));
}

void Form1Test::eachButtonShowsItsScale_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opening");
    QTest::newRow("Command1") << "Command1"
                              << "В 1742 шведский физик Андерс Цельсий";
    QTest::newRow("Command2") << "Command2"
                              << "В 1724 году немецкий ученый Фаренгейт";
    QTest::newRow("Command3") << "Command3"
                              << "Единица термодинамической температуры";
    QTest::newRow("Command4") << "Command4"
                              << "Шотландский инженер Ранкин";
    QTest::newRow("Command5") << "Command5"
                              << "Французский ученый Реомюр";
}

void Form1Test::eachButtonShowsItsScale()
{
    QFETCH(QString, button);
    QFETCH(QString, opening);
    auto* b = child<QPushButton>(*m_window, qPrintable(button));
    QCOMPARE(b->text(), QStringLiteral("?"));
    QTest::mouseClick(b, Qt::LeftButton);
    QVERIFY2(helperText(*m_window).startsWith(opening), qPrintable(helperText(*m_window)));
    // The description does not change the temperature.
    QCOMPARE(shownValues(*m_window), (QStringList{"0", "32", "273", "491", "0"}));
}

void Form1Test::secondButtonReplacesFirstDescription()
{
    QTest::mouseClick(child<QPushButton>(*m_window, "Command2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(*m_window, "Command4"), Qt::LeftButton);
    QCOMPARE(helperText(*m_window),
             QStringLiteral("Шотландский инженер Ранкин предложил температурную шкалу, нуль "
                            "которой совпадает с нулем термодинамической температуры, а по "
                            "размеру 1°R равен 5/9 К. Шкала не получила распространения."));

    // Moving the bar afterwards does not bring the general help back.
    QTest::keyClick(bar(), Qt::Key_Right);
    QVERIFY(helperText(*m_window).startsWith(QStringLiteral("Шотландский")));
}

void Form1Test::labelsGrowToFitAtTheEnds_data()
{
    QTest::addColumn<int>("celsius");
    QTest::newRow("-273") << -273;
    QTest::newRow("1000") << 1000;
}

void Form1Test::labelsGrowToFitAtTheEnds()
{
    QFETCH(int, celsius);
    bar()->setValue(celsius);
    for (int row = 0; row < 5; ++row) {
        const auto* name = child<QLabel>(*m_window, kNameLabels[row]);
        const auto* value = child<QLabel>(*m_window, kValueNames[row]);
        const auto* button = child<QPushButton>(*m_window, kButtons[row]);
        const QString where = QString::fromLatin1(kValueNames[row]);
        QVERIFY2(value->width() >= value->sizeHint().width(), qPrintable(where));
        QVERIFY2(value->height() >= value->sizeHint().height(), qPrintable(where));
        QVERIFY2(name->width() >= name->sizeHint().width(), qPrintable(where));
        QVERIFY2(name->geometry().right() < value->geometry().left(), qPrintable(where));
        QVERIFY2(value->geometry().right() < button->geometry().left(), qPrintable(where));
        // Each row's button stands at its row's height.
        QCOMPARE(button->y(), value->y());
    }
}

int runForm1Test(int argc, char** argv)
{
    Form1Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "form1_test.moc"
