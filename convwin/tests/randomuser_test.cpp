// A careless user: a long seeded run of random actions across all four windows, checking
// after each that outputs, unit lists and windows agree, and at the end that the data reloads.
#include "calc/numbertext.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"
#include "unitdb/unitsort.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <cmath>
#include <functional>
#include <random>

using namespace testsupport;
using namespace Qt::StringLiterals;

class RandomUserTest : public QObject, private WindowFixture
{
    Q_OBJECT

private:
    std::mt19937 m_random{1};
    std::array<double, 4> m_outCoefficients{};
    QStringList m_log; // the last actions, shown when an invariant breaks

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }
    QString randomText(const QString& alphabet, int maxLength)
    {
        QString text;
        for (int i = pick(maxLength + 1); i > 0; --i)
            text += alphabet.at(pick(static_cast<int>(alphabet.size())));
        return text;
    }
    void note(const QString& action)
    {
        m_log << action;
        if (m_log.size() > 12)
            m_log.removeFirst();
    }

    SettingsDialog* settings() { return m_window->settingsDialog(); }
    DatabaseEditor* editor() { return m_window->editor(); }
    QWidget* about()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == u"Form3"_s)
                return w;
        return nullptr;
    }
    void retype(QLineEdit* line, const QString& text)
    {
        line->setFocus();
        line->selectAll();
        typeText(line, text);
    }
    int choose(QComboBox* box)
    {
        const int i = pick(std::max(1, box->count()));
        box->setCurrentIndex(i);
        return i;
    }
    void open(const QString& button)
    {
        note(button);
        click(m_window.get(), button);
        checkWindows();
    }
    // By its own button or by the title bar's close button.
    void leave(QWidget* window, const QString& button)
    {
        if (chance(50))
            click(window, button);
        else
            window->close();
    }

    // One action of the main window, or one visit to another window.
    void act()
    {
        switch (pick(12)) {
        case 0:
        case 1: {
            const QString text = randomText(u"0123456789.,+-*/()e pisqrtlnE"_s, 10);
            note("type " + text);
            retype(line("InText"), text);
            break;
        }
        case 2:
            note("Enter");
            QTest::keyClick(line("InText"), Qt::Key_Return);
            break;
        case 3:
            note(u"category %1"_s.arg(choose(list("SelUnit"))));
            break;
        case 4:
            useUnitList();
            break;
        case 5: {
            const int i = pick(4);
            note(u"click output %1"_s.arg(i));
            QTest::mouseClick(line(u"OutText_%1"_s.arg(i)), Qt::LeftButton);
            break;
        }
        case 6: {
            const int i = pick(6);
            note(u"panel button %1"_s.arg(i));
            click(m_window.get(), i == 5 ? u"CmdScroll"_s : u"CmdHelp_%1"_s.arg(i));
            break;
        }
        case 7:
            visitSettings();
            break;
        case 8:
            open("Command1");
            leave(about(), "Command1");
            break;
        default:
            visitEditor();
        }
    }

    // Picks a unit, or types a first letter that may match none.
    void useUnitList()
    {
        const QString name = pick(5) == 4 ? u"InUnit"_s : u"OutUnit_%1"_s.arg(pick(4));
        QComboBox* box = list(name);
        if (chance(50) && box->count() > 0) {
            const int i = pick(box->count());
            note(u"%1 select %2"_s.arg(name).arg(i));
            box->setCurrentIndex(i);
        } else {
            const QString letter = randomText(u"АаВвМмСсКкТтГгЯяQ1"_s, 1);
            note(u"%1 letter %2"_s.arg(name, letter));
            typeText(box, letter.isEmpty() ? u"М"_s : letter);
        }
    }

    void visitSettings()
    {
        open("cmdSetup");
        const std::function<void()> actions[] = {
            [&] { child<QCheckBox>(settings(), "RoundCheck")->click(); },
            [&] { child<QScrollBar>(settings(), "HScroll1")->setValue(pick(16)); },
            [&] { child<QCheckBox>(settings(), "IgnoreCheck")->click(); },
            [&] {
                choose(child<QComboBox>(settings(), "Combo1"));
                click(settings(), "Command2");
            },
            [&] { click(settings(), "Command3"); },
            [&] { click(settings(), "Command1"); },
        };
        for (int n = 1 + pick(4); n > 0; --n)
            actions[pick(6)]();
        leave(settings(), "Command4");
    }

    void visitEditor()
    {
        open("cmdEdit");
        const QString nameChars = u"АБВгде (м)*,\" 12км/ч²"_s;
        const std::function<void()> actions[] = {
            [&] { choose(child<QComboBox>(editor(), "Combo1")); },
            [&] {
                auto* units = child<QListWidget>(editor(), "List1");
                if (units->count() > 0)
                    units->setCurrentRow(pick(units->count()));
            },
            [&] { retype(child<QLineEdit>(editor(), "NameEdit"), randomText(nameChars, 8)); },
            [&] {
                retype(child<QLineEdit>(editor(), "KoefEdit"),
                       randomText(u"0123456789.,/*e-+"_s, 6));
            },
            [&] { QTest::keyClick(child<QLineEdit>(editor(), "KoefEdit"), Qt::Key_Return); },
            [&] {
                child<QPlainTextEdit>(editor(), "DescEdit")
                    ->setPlainText(randomText(u"Описание, \"с\" кавычками.\n²"_s, 20));
            },
            [&] { click(editor(), "Command2"); },
            [&] {
                m_msg.inputAnswers.enqueue(chance(20) ? std::nullopt
                                                      : std::optional(randomText(nameChars, 6)));
                click(editor(), "Command3");
                m_msg.inputAnswers.clear();
            },
            [&] {
                // Rarely, fill the category to capacity and one past it.
                if (chance(10))
                    for (int i = 0; i <= unitdb::kMaxUnits; ++i)
                        click(editor(), "Command2");
            },
        };
        for (int n = 1 + pick(6); n > 0; --n)
            actions[pick(9)]();
        leave(editor(), "Command1");
    }

    void checkWindows()
    {
        const bool other =
            settings()->isVisible() || editor()->isVisible() || (about() && about()->isVisible());
        QVERIFY2(m_window->isEnabled() == !other, qPrintable(m_log.join(" | ")));
    }

    void checkInvariants()
    {
        checkWindows();
        const QString trail = m_log.join(" | ");
        const int category = m_window->categoryIndex(list("SelUnit")->currentText());
        const auto c = static_cast<std::size_t>(std::max(0, category));
        QStringList names;
        for (int s = 0; s < m_tables->unitCount[c]; ++s)
            names << QString::fromStdString(m_tables->unitNames[c][static_cast<std::size_t>(s)]);
        for (const QString& name : kUnitLists)
            QVERIFY2(items(name) == names, qPrintable(name + ": " + trail));

        const QString input = line("InText")->text();
        QVERIFY2(!input.contains(','), qPrintable(trail));
        // A quantity without units leaves the outputs as they were.
        if (names.isEmpty())
            return;
        const auto& coefficients = m_tables->coefficients[c];
        const int p = list("InUnit")->currentIndex();
        const double k = p >= 0 ? coefficients[static_cast<std::size_t>(p)] : 0.0;
        const double x = calc::readNumber(input.toStdString());
        // A bad coefficient leaves a row empty; an overflow is named in its row.
        auto usable = [](double coefficient) {
            return std::isfinite(coefficient) && coefficient > 0.0;
        };
        for (std::size_t i = 0; i < 4; ++i) {
            const int q = list(u"OutUnit_%1"_s.arg(i))->currentIndex();
            if (q >= 0)
                m_outCoefficients[i] = coefficients[static_cast<std::size_t>(q)];
            double v = k / m_outCoefficients[i] * x;
            if (std::isfinite(v) && settings()->rounding())
                v = calc::roundToPlaces(v, settings()->places());
            QString expected;
            if ((p < 0 || usable(k)) && usable(m_outCoefficients[i]))
                expected = std::isfinite(v)
                               ? QString::fromStdString(calc::numberText(v, ui::decimalSeparator()))
                               : u"Переполнение"_s;
            const QString shown = line(u"OutText_%1"_s.arg(i))->text();
            QVERIFY2(shown == expected,
                     qPrintable(u"output %1 shows %2, expected %3: %4"_s.arg(i).arg(shown, expected,
                                                                                    trail)));
        }
    }

    // Every category and unit as a line, coefficients as they are written.
    static QStringList contents(const unitdb::UnitTables& tables)
    {
        QStringList lines;
        for (std::size_t c = 0; c < static_cast<std::size_t>(tables.categoryCount); ++c) {
            lines << QString::fromStdString(tables.categoryNames[c]);
            for (std::size_t s = 0; s < static_cast<std::size_t>(tables.unitCount[c]); ++s)
                lines << QString::fromStdString(tables.unitNames[c][s] + " | " +
                                                calc::numberText(tables.coefficients[c][s]) +
                                                " | " + tables.descriptions[c][s]);
        }
        return lines;
    }

private slots:
    void init() { enterFolder(); }
    void cleanup() { leaveFolder(); }

    void randomUserKeepsEverythingConsistent()
    {
        auto setting = [](const char* name, int fallback) {
            return qEnvironmentVariableIntValue(name) > 0 ? qEnvironmentVariableIntValue(name)
                                                          : fallback;
        };
        const int steps = setting("MV_RANDOM_STEPS", 1500);
        const auto seed = static_cast<unsigned>(setting("MV_RANDOM_SEED", 20261206));
        m_random.seed(seed);
        QVERIFY(start());
        m_window->show();
        for (int step = 0; step < steps; ++step) {
            act();
            checkInvariants();
            if (QTest::currentTestFailed())
                return;
            m_msg.messages.clear();
        }

        // Shut-down saves; a fresh start loads what was in memory, sorted.
        m_msg.answers << MsgAnswer::Yes;
        m_window->shutDown();
        unitdb::sortUnits(*m_tables);
        for (auto& category : m_tables->descriptions)
            for (std::string& desc : category)
                if (!desc.empty() && !desc.ends_with('.'))
                    desc += '.'; // the reader ends every description with a period
        auto reloaded = std::make_unique<unitdb::UnitTables>();
        ConversionWindow again(*reloaded, m_msg, registry());
        QVERIFY(again.startUp());
        QCOMPARE(contents(*reloaded), contents(*m_tables));
        qInfo("%d steps with seed %u: %d categories", steps, seed, m_tables->categoryCount);
    }
};

QTEST_MAIN(RandomUserTest)
#include "randomuser_test.moc"
