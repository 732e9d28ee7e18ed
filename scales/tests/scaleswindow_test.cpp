// Drives the real Skalomer window through its named widgets: the bar by keys and by dragging,
// the five labels at every degree, and the help buttons.
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

QStringList exactTexts(int c)
{
    QStringList texts;
    for (int value :
         {c, floorFifth(9 * c + 160), c + 273, floorFifth(9 * (c + 273)), floorFifth(4 * c)})
        texts << QString::number(value);
    return texts;
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

    // Keys step the bar as on a desktop scroll bar: right, down and Page Down go up the scale;
    // Home and End reach the ends of the range.
    void keysStepTheBar()
    {
        for (Qt::Key key : {Qt::Key_Home, Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown})
            QTest::keyClick(bar(), key);
        QCOMPARE(shown(), exactTexts(-246));
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Left, Qt::Key_Up, Qt::Key_PageUp})
            QTest::keyClick(bar(), key);
        QCOMPARE(shown(), exactTexts(973));
    }

    // Dragged degree by degree: the labels must follow the thumb before its release.
    void everyDegreeMatchesExactFloor()
    {
        QCOMPARE(shown(), exactTexts(0));
        bar()->setSliderDown(true);
        for (int c = scales::kMinCelsius; c <= scales::kMaxCelsius; ++c) {
            bar()->setSliderPosition(c);
            QCOMPARE(shown(), exactTexts(c));
        }
    }

    // Enter presses a focused button as a click does, and each replaces the text before it.
    void eachButtonShowsItsScale()
    {
        const char* const openings[] = {"В 1742 шведский", "В 1724 году",
                                        "Единица термодинамической", "Шотландский", "Французский"};
        for (int row = 0; row < 5; ++row) {
            const QByteArray button = "Command" + QByteArray::number(row + 1);
            QTest::keyClick(child<QPushButton>(*m_window, button.constData()), Qt::Key_Return);
            QVERIFY2(help().startsWith(QString::fromUtf8(openings[row])), qPrintable(help()));
        }
    }
};

QTEST_MAIN(ScalesWindowTest)
#include "scaleswindow_test.moc"
