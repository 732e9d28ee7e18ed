// The five readings: the worked values and every degree against exact integer arithmetic.
#include "scales/temperature.h"

#include <QTest>

namespace
{

// Celsius, Kelvin, Fahrenheit, Reaumur, Rankine: a failure then names the degree it failed at.
QList<int> readings(int celsius)
{
    const auto r = scales::temperatureReadings(celsius);
    return {r.celsius, r.kelvin, r.fahrenheit, r.reaumur, r.rankine};
}

// Floor of a / 5 in integers only.
int floorFifth(int a)
{
    return a >= 0 ? a / 5 : -((-a + 4) / 5);
}

} // namespace

class TemperatureTest : public QObject
{
    Q_OBJECT
private slots:
    void workedValues_data()
    {
        QTest::addColumn<int>("celsius");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("-273") << -273 << QList<int>{-273, 0, -460, -219, 0};
        QTest::newRow("-40") << -40 << QList<int>{-40, 233, -40, -32, 419};
        QTest::newRow("-1") << -1 << QList<int>{-1, 272, 30, -1, 489};
        QTest::newRow("0") << 0 << QList<int>{0, 273, 32, 0, 491};
        QTest::newRow("1000") << 1000 << QList<int>{1000, 1273, 1832, 800, 2291};
    }

    void workedValues()
    {
        QFETCH(int, celsius);
        QTEST(readings(celsius), "expected");
    }

    void everyDegreeMatchesExactFloor()
    {
        for (int c = scales::kMinCelsius; c <= scales::kMaxCelsius; ++c) {
            const QList<int> exact{c, c + 273, floorFifth(9 * c + 160), floorFifth(4 * c),
                                   floorFifth(9 * (c + 273))};
            QCOMPARE(readings(c), exact);
        }
    }
};

int runTemperatureTest(int argc, char** argv)
{
    TemperatureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "temperature_test.moc"
