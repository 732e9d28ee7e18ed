// Drives the real Skalomer window through its named widgets: bar, labels, buttons, help field.
#include "scales/scaleswindow.h"

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

namespace
{

// Rows top to bottom: Celsius, Fahrenheit, Kelvin, Rankine, Reaumur.
const char* const kValues[] = {"Celsius", "Faren", "Kelvin", "Rankin", "Reomur"};
const char* const kButtons[] = {"Command1", "Command2", "Command3", "Command4", "Command5"};
const QStringList kAtZero{"0", "32", "273", "491", "0"};
const QStringList kAtMin{"-273", "-460", "0", "0", "-219"};
const QStringList kAtMax{"1000", "1832", "1273", "2291", "800"};
const QStringList kAtPlus1{"1", "33", "274", "493", "0"};
const QStringList kAtPlus25{"25", "77", "298", "536", "20"};

template <typename T> T* child(const QWidget& w, const char* name)
{
    auto* found = w.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no widget named %s", name);
    return found;
}

QRect scrollBarPart(const QScrollBar* bar, QStyle::SubControl part)
{
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

// A move with the left button held, as while dragging the thumb.
void dragTo(QWidget* w, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

} // namespace

class ScalesWindowTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<scales::ScalesWindow> m_window;

    QScrollBar* bar() const { return child<QScrollBar>(*m_window, "Cels"); }
    QString help() const { return child<QPlainTextEdit>(*m_window, "Helper")->toPlainText(); }
    QStringList shown() const
    {
        QStringList texts;
        for (const char* name : kValues)
            texts << child<QLabel>(*m_window, name)->text();
        return texts;
    }
    void click(const char* button) const
    {
        QTest::mouseClick(child<QPushButton>(*m_window, button), Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_window = std::make_unique<scales::ScalesWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void startsAtZeroWithGeneralHelp()
    {
        QCOMPARE(shown(), kAtZero);
        QVERIFY(help().startsWith(QStringLiteral("Эта программа переводит перевод температур")));
        // The text's closing CR LF shows as one line break, with no stray CR.
        QVERIFY(help().endsWith(QStringLiteral("температуру.\n")));
        QCOMPARE(help().count(QLatin1Char('\n')), 1);
        QVERIFY(!help().contains(QLatin1Char('\r')));
    }

    // Keys, then a click on a part of the bar (-1: none).
    void keysAndClicksStepTheBar_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<int>("part");
        QTest::addColumn<QStringList>("expected");
        const QList<int> none;
        QTest::newRow("Right") << QList<int>{Qt::Key_Right} << -1 << kAtPlus1;
        QTest::newRow("Left Left") << QList<int>{Qt::Key_Left, Qt::Key_Left} << -1
                                   << QStringList{"-2", "28", "271", "487", "-2"};
        QTest::newRow("PageDown") << QList<int>{Qt::Key_PageDown} << -1 << kAtPlus25;
        QTest::newRow("Home Left") << QList<int>{Qt::Key_Home, Qt::Key_Left} << -1 << kAtMin;
        QTest::newRow("End Right") << QList<int>{Qt::Key_End, Qt::Key_Right} << -1 << kAtMax;
        QTest::newRow("right arrow") << none << int(QStyle::SC_ScrollBarAddLine) << kAtPlus1;
        QTest::newRow("trough right of thumb")
            << none << int(QStyle::SC_ScrollBarAddPage) << kAtPlus25;
        QTest::newRow("left arrow") << none << int(QStyle::SC_ScrollBarSubLine)
                                    << QStringList{"-1", "30", "272", "489", "-1"};
    }
    void keysAndClicksStepTheBar()
    {
        QFETCH(QList<int>, keys);
        QFETCH(int, part);
        for (int key : keys)
            QTest::keyClick(bar(), static_cast<Qt::Key>(key));
        if (part >= 0)
            QTest::mouseClick(bar(), Qt::LeftButton, {},
                              scrollBarPart(bar(), static_cast<QStyle::SubControl>(part)).center());
        QTEST(shown(), "expected");
    }

    void draggingTheThumbUpdatesBeforeRelease()
    {
        QScrollBar* cels = bar();
        const QPoint grab = scrollBarPart(cels, QStyle::SC_ScrollBarSlider).center();
        QTest::mousePress(cels, Qt::LeftButton, {}, grab);
        dragTo(cels, grab + QPoint(30, 0));
        QVERIFY(cels->isSliderDown());
        QVERIFY(cels->sliderPosition() > 0);
        QCOMPARE(shown().at(0), QString::number(cels->sliderPosition()));
        dragTo(cels, QPoint(cels->width() + 50, grab.y()));
        QCOMPARE(shown(), kAtMax);
        dragTo(cels, QPoint(-50, grab.y()));
        QCOMPARE(shown(), kAtMin);
        QTest::mouseRelease(cels, Qt::LeftButton, {}, QPoint(-50, grab.y()));
        QCOMPARE(cels->value(), -273);
        QCOMPARE(shown(), kAtMin);
    }

    void eachButtonShowsItsScale_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("opening");
        QTest::newRow("Command1") << 0 << "В 1742 шведский физик Андерс Цельсий";
        QTest::newRow("Command2") << 1 << "В 1724 году немецкий ученый Фаренгейт";
        QTest::newRow("Command3") << 2 << "Единица термодинамической температуры";
        QTest::newRow("Command4") << 3 << "Шотландский инженер Ранкин";
        QTest::newRow("Command5") << 4 << "Французский ученый Реомюр";
    }
    // A second button, pressed by Enter, replaces the first one's text; moving the bar keeps it.
    void eachButtonShowsItsScale()
    {
        QFETCH(int, row);
        QFETCH(QString, opening);
        click(kButtons[(row + 1) % 5]);
        QTest::keyClick(child<QPushButton>(*m_window, kButtons[row]), Qt::Key_Return);
        QVERIFY2(help().startsWith(opening), qPrintable(help()));
        QCOMPARE(shown(), kAtZero);
        QTest::keyClick(bar(), Qt::Key_Right);
        QVERIFY(help().startsWith(opening));
    }
};

int runScalesWindowTest(int argc, char** argv)
{
    ScalesWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "scaleswindow_test.moc"
