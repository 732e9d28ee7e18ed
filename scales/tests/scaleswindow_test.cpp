// Drives the real Skalomer window through its named widgets: the bar by keys and by dragging,
// the five labels at every degree, the help field and its buttons.
#include "scales/scaleswindow.h"
#include "scales/temperature.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <memory>

namespace
{

// Top to bottom: Celsius, Fahrenheit, Kelvin, Rankine, Reaumur.
const char* const kValues[] = {"Celsius", "Faren", "Kelvin", "Rankin", "Reomur"};

template <typename T> T* child(const QWidget& w, const char* name)
{
    auto* found = w.findChild<T*>(QLatin1String(name));
    if (found == nullptr)
        qFatal("no widget named %s", name);
    return found;
}

// Floor of a / 5 in integers only, to check the window's floating-point way against.
int floorFifth(int a)
{
    return a >= 0 ? a / 5 : -((-a + 4) / 5);
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
        QCOMPARE(shown(), (QStringList{"0", "32", "273", "491", "0"}));
        // The text's closing CR LF shows as one line break, with no stray CR.
        QVERIFY(help().endsWith(QStringLiteral("температуру.\n")));
        QVERIFY(!help().contains(QLatin1Char('\r')));
    }

    // Keys step the bar as on a desktop scroll bar: right, down and Page Down go up the scale.
    void keysStepTheBar_data()
    {
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Right Down")
            << QList<int>{Qt::Key_Right, Qt::Key_Down} << QStringList{"2", "35", "275", "495", "1"};
        QTest::newRow("Left Up") << QList<int>{Qt::Key_Left, Qt::Key_Up}
                                 << QStringList{"-2", "28", "271", "487", "-2"};
        QTest::newRow("PageDown") << QList<int>{Qt::Key_PageDown}
                                  << QStringList{"25", "77", "298", "536", "20"};
        QTest::newRow("PageUp") << QList<int>{Qt::Key_PageUp}
                                << QStringList{"-25", "-13", "248", "446", "-20"};
        QTest::newRow("Home Left") << QList<int>{Qt::Key_Home, Qt::Key_Left}
                                   << QStringList{"-273", "-460", "0", "0", "-219"};
        QTest::newRow("End Right") << QList<int>{Qt::Key_End, Qt::Key_Right}
                                   << QStringList{"1000", "1832", "1273", "2291", "800"};
    }
    void keysStepTheBar()
    {
        QFETCH(QList<int>, keys);
        for (int key : keys)
            QTest::keyClick(bar(), static_cast<Qt::Key>(key));
        QTEST(shown(), "expected");
    }

    void everyDegreeMatchesExactFloor()
    {
        for (int c = scales::kMinCelsius; c <= scales::kMaxCelsius; ++c) {
            bar()->setValue(c);
            const QList<int> exact{c, floorFifth(9 * c + 160), c + 273, floorFifth(9 * (c + 273)),
                                   floorFifth(4 * c)};
            QStringList texts;
            for (int value : exact)
                texts << QString::number(value);
            QCOMPARE(shown(), texts);
        }
    }

    // The labels follow the thumb while it is dragged, not only at its release.
    void draggingTheThumbUpdatesTheLabels()
    {
        bar()->setSliderDown(true);
        bar()->setSliderPosition(500);
        QCOMPARE(shown().at(0), QStringLiteral("500"));
    }

    // Enter presses a focused button as a click does; each replaces the text before it, and
    // moving the bar keeps it.
    void eachButtonShowsItsScale()
    {
        const char* const openings[] = {"В 1742 шведский физик Андерс Цельсий",
                                        "В 1724 году немецкий ученый Фаренгейт",
                                        "Единица термодинамической температуры",
                                        "Шотландский инженер Ранкин", "Французский ученый Реомюр"};
        for (int row = 0; row < 5; ++row) {
            const QByteArray button = "Command" + QByteArray::number(row + 1);
            QTest::keyClick(child<QPushButton>(*m_window, button.constData()), Qt::Key_Return);
            QVERIFY2(help().startsWith(QString::fromUtf8(openings[row])), qPrintable(help()));
        }
        QTest::keyClick(bar(), Qt::Key_Right);
        QVERIFY(help().startsWith(QString::fromUtf8(openings[4])));
    }
};

QTEST_MAIN(ScalesWindowTest)
#include "scaleswindow_test.moc"
