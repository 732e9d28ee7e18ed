// The five readings: the worked values and every degree against exact integer arithmetic.
#include "scales/temperature.h"

#include <QTest>

using scales::temperatureReadings;

namespace
{

// Floor of a / b for b > 0, in integers only.
int floorDiv(int a, int b)
{
    const int q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

QString mismatch(const char* scale, int celsius, int got, int want)
{
    return QStringLiteral("%1 at %2 C: got %3, want %4")
        .arg(QLatin1String(scale))
        .arg(celsius)
        .arg(got)
        .arg(want);
}

} // namespace

class TemperatureTest : public QObject
{
    Q_OBJECT
private slots:
    void workedValues_data();
    void workedValues();
    void everyDegreeMatchesExactFloor();
};

void TemperatureTest::workedValues_data()
{
    QTest::addColumn<int>("celsius");
    QTest::addColumn<int>("kelvin");
    QTest::addColumn<int>("fahrenheit");
    QTest::addColumn<int>("reaumur");
    QTest::addColumn<int>("rankine");
    QTest::newRow("-273") << -273 << 0 << -460 << -219 << 0;
    QTest::newRow("-40") << -40 << 233 << -40 << -32 << 419;
    QTest::newRow("-1") << -1 << 272 << 30 << -1 << 489;
    QTest::newRow("0") << 0 << 273 << 32 << 0 << 491;
    QTest::newRow("37") << 37 << 310 << 98 << 29 << 558;
    QTest::newRow("100") << 100 << 373 << 212 << 80 << 671;
    QTest::newRow("1000") << 1000 << 1273 << 1832 << 800 << 2291;
    // Negative fractions must round down, not toward zero.
    QTest::newRow("-2") << -2 << 271 << 28 << -2 << 487;
    QTest::newRow("-272") << -272 << 1 << -458 << -218 << 1;
}

void TemperatureTest::workedValues()
{
    QFETCH(int, celsius);
    const auto r = temperatureReadings(celsius);
    QCOMPARE(r.celsius, celsius);
    QTEST(r.kelvin, "kelvin");
    QTEST(r.fahrenheit, "fahrenheit");
    QTEST(r.reaumur, "reaumur");
    QTEST(r.rankine, "rankine");
}

void TemperatureTest::everyDegreeMatchesExactFloor()
{
    for (int c = scales::kMinCelsius; c <= scales::kMaxCelsius; ++c) {
        const auto r = temperatureReadings(c);
        const int fahrenheit = floorDiv(9 * c + 160, 5);
        const int reaumur = floorDiv(4 * c, 5);
        const int rankine = floorDiv(9 * (c + 273), 5);
        QVERIFY2(r.celsius == c, qPrintable(mismatch("Celsius", c, r.celsius, c)));
        QVERIFY2(r.kelvin == c + 273, qPrintable(mismatch("Kelvin", c, r.kelvin, c + 273)));
        QVERIFY2(r.fahrenheit == fahrenheit,
                 qPrintable(mismatch("Fahrenheit", c, r.fahrenheit, fahrenheit)));
        QVERIFY2(r.reaumur == reaumur, qPrintable(mismatch("Reaumur", c, r.reaumur, reaumur)));
        QVERIFY2(r.rankine == rankine, qPrintable(mismatch("Rankine", c, r.rankine, rankine)));
    }
}

int runTemperatureTest(int argc, char** argv)
{
    TemperatureTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "temperature_test.moc"
