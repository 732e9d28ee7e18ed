// A careless user: a long seeded run of random actions across all four windows, checking
// after each that the window shows what the model holds, and at the end that the data reloads.
#include "calc/numbertext.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/aboutbox.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/messagetexts.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"

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

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }
    bool chance(int percent) { return pick(100) < percent; }
    QString randomText(const QString& alphabet, int maxLength)
    {
        QString text;
        for (int i = pick(maxLength + 1); i > 0; --i)
            text += alphabet.at(pick(static_cast<int>(alphabet.size())));
        return text;
    }

    SettingsDialog* settings() { return m_window->settingsDialog(); }
    DatabaseEditor* editor() { return m_window->editor(); }
    QWidget* about() { return m_window->aboutBox(); }
    void choose(QComboBox* box) { box->setCurrentIndex(pick(std::max(1, box->count()))); }
    // A button or an output of the main window.
    void press(const QString& name)
    {
        QTest::mouseClick(control<QWidget>(name), Qt::LeftButton);
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

    inline static const QStringList kPanel{"CmdHelp_0", "CmdHelp_1", "CmdHelp_2",
                                           "CmdHelp_3", "CmdHelp_4", "CmdScroll"};
    // One action of the main window, or one visit to another window.
    void act()
    {
        const std::function<void()> actions[] = {
            [&] { retype(line("InText"), randomText(u"0123456789.,+-*/()e pisqrtlnE"_s, 10)); },
            [&] { QTest::keyClick(line("InText"), Qt::Key_Return); },
            [&] { choose(list("SelUnit")); },
            [&] { useUnitList(); },
            [&] { press(u"OutText_%1"_s.arg(pick(4))); },
            [&] { press(kPanel[pick(6)]); },
            [&] { visitSettings(); },
            [&] {
                press("Command1");
                leave(about(), "Command1");
            },
            [&] { visitEditor(); },
        };
        // Typing comes twice as often as the rest, the editor three times.
        const int weighted[] = {0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 8, 8};
        actions[weighted[pick(12)]]();
    }

    // Picks a unit, or types a first letter that may match none.
    void useUnitList()
    {
        QComboBox* box = list(pick(5) == 4 ? u"InUnit"_s : u"OutUnit_%1"_s.arg(pick(4)));
        if (chance(50) && box->count() > 0) {
            choose(box);
        } else {
            const QString letter = randomText(u"АаВвМмСсКкТтГгЯяQ1"_s, 1);
            typeText(box, letter.isEmpty() ? u"М"_s : letter);
        }
    }

    void visitSettings()
    {
        press("cmdSetup");
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
        press("cmdEdit");
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
                    for (std::size_t i = 0; i <= unitdb::kMaxUnits; ++i)
                        click(editor(), "Command2");
            },
            [&] {
                m_msg.answers << (chance(80) ? MsgAnswer::Yes : MsgAnswer::No);
                click(editor(), chance(70) ? u"cmdDeleteUnit"_s : u"cmdDeleteCategory"_s);
                m_msg.answers.clear();
            },
            [&] {
                for (int n = 1 + pick(4); n > 0; --n)
                    click(editor(), chance(70) ? u"cmdUndo"_s : u"cmdRedo"_s);
            },
        };
        for (int n = 1 + pick(6); n > 0; --n)
            actions[pick(11)]();
        leave(editor(), "Command1");
        // A text it cannot store keeps it open: the user takes it back.
        if (editor()->isVisible()) {
            click(editor(), "cmdUndo");
            leave(editor(), "Command1");
        }
    }

    void checkWindows()
    {
        const bool other = (settings() && settings()->isVisible()) ||
                           (editor() && editor()->isVisible()) || (about() && about()->isVisible());
        QCOMPARE(m_window->isEnabled(), !other);
    }

    // The window shows the model: its lists, choices, input and outputs.
    void checkInvariants()
    {
        checkWindows();
        const convmodel::ConversionModel& model = m_session->model();
        QCOMPARE(list("SelUnit")->currentIndex(), model.quantityPosition());
        QStringList names;
        if (const unitdb::Quantity* quantity = model.quantity())
            for (const unitdb::Unit& unit : quantity->units)
                names << QString::fromStdString(unit.name);
        const int rows[] = {convmodel::kInputRow, 0, 1, 2, 3}; // as kUnitLists
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(items(kUnitLists[i]), names);
            QCOMPARE(list(kUnitLists[i])->currentIndex(), model.unitSlot(rows[i]));
        }
        const QString input = line("InText")->text();
        QVERIFY(!input.contains(','));
        QCOMPARE(input, QString::fromStdString(model.input()));
        for (int row = 0; row < convmodel::kOutputRows; ++row)
            QCOMPARE(line(u"OutText_%1"_s.arg(row))->text(), outputShown(model, row));
    }

    // Every category and unit as a line, coefficients as they are written.
    static QStringList contents(const std::vector<unitdb::Quantity>& quantities)
    {
        QStringList lines;
        for (const unitdb::Quantity& quantity : quantities) {
            lines << QString::fromStdString(quantity.name);
            for (const unitdb::Unit& unit : quantity.units)
                lines << QString::fromStdString(unit.name + " | " +
                                                calc::numberText(unit.coefficient) + " | " +
                                                unit.description.text());
        }
        return lines;
    }

private slots:
    void init() { makeFolder(); }
    void cleanup() { removeFolder(); }

    void randomUserKeepsEverythingConsistent()
    {
        const int steps = qEnvironmentVariable("MV_RANDOM_STEPS", u"1500"_s).toInt();
        const uint seed = qEnvironmentVariable("MV_RANDOM_SEED", u"20261206"_s).toUInt();
        m_random.seed(seed);
        QVERIFY(start());
        m_window->show();
        for (int step = 0; step < steps; ++step) {
            act();
            checkInvariants();
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(
                    u"at step %1: MV_RANDOM_STEPS=%2 replays up to it"_s.arg(step).arg(step + 1)));
            m_msg.messages.clear();
        }

        // Shut-down saves; a fresh start loads what was in memory, sorted.
        m_msg.answers << MsgAnswer::Yes;
        m_window->shutDown();
        db().sortUnits();
        auto expected = db().quantities();
        for (unitdb::Quantity& quantity : expected)
            for (unitdb::Unit& unit : quantity.units)
                unit.description = unitdb::withFinalPeriod(unit.description.text());
        convmodel::Session again({m_dir->path().toStdString(), registry().toStdString()}, "", '.');
        again.start();
        QCOMPARE(contents(again.database().quantities()), contents(expected));
        qInfo("%d steps with seed %u: %zu categories", steps, seed, db().size());
    }
};

QTEST_MAIN(RandomUserTest)
#include "randomuser_test.moc"
