// A careless user: a long seeded run of random actions across all four windows.
// After every action the outputs are the conversion of the input line, the
// unit lists hold the chosen quantity's units, and the main window is enabled
// exactly when no other window is shown. At the end the database is saved and
// a fresh start finds the same one.
#include "calc/numbertext.h"
#include "convwin/tests/testsupport.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"
#include "unitdb/unitsort.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <cmath>
#include <random>

using namespace testsupport;

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

    QWidget* settings() { return m_window->settingsDialog(); }
    QWidget* editor() { return m_window->editor(); }
    QWidget* about()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("Form3"))
                return w;
        return nullptr;
    }
    void click(QWidget* root, const QString& name)
    {
        QTest::mouseClick(child<QPushButton>(root, name), Qt::LeftButton);
    }
    void retype(QWidget* box, const QString& text)
    {
        box->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(box))
            line->selectAll();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(box))
            plain->selectAll();
        typeText(box, text);
    }
    void note(const QString& action)
    {
        m_log << action;
        if (m_log.size() > 12)
            m_log.removeFirst();
    }

    // One action of the main window, or one visit to another window.
    void act()
    {
        const QString digits = QStringLiteral("0123456789.,+-*/()e pisqrtlnE");
        switch (pick(12)) {
        case 0:
        case 1: {
            const QString text = randomText(digits, 10);
            note("type " + text);
            retype(control<QLineEdit>(QStringLiteral("InText")), text);
        } break;
        case 2:
            note(QStringLiteral("Enter"));
            QTest::keyClick(control<QLineEdit>(QStringLiteral("InText")), Qt::Key_Return);
            break;
        case 3: {
            auto* list = control<QComboBox>(QStringLiteral("SelUnit"));
            const int i = pick(std::max(1, list->count()));
            note(QStringLiteral("category %1").arg(i));
            list->setCurrentIndex(i);
        } break;
        case 4: {
            const QString name =
                pick(5) == 4 ? QStringLiteral("InUnit") : QStringLiteral("OutUnit_%1").arg(pick(4));
            auto* list = control<QComboBox>(name);
            if (chance(50) && list->count() > 0) {
                const int i = pick(list->count());
                note(QStringLiteral("%1 select %2").arg(name).arg(i));
                list->setCurrentIndex(i);
            } else {
                const QString letter = randomText(QStringLiteral("АаВвМмСсКкТтГгЯяQ1"), 1);
                note(QStringLiteral("%1 letter %2").arg(name, letter));
                typeText(list, letter.isEmpty() ? QStringLiteral("М") : letter);
            }
            break;
        }
        case 5: {
            const int i = pick(4);
            note(QStringLiteral("click output %1").arg(i));
            QTest::mouseClick(control<QLineEdit>(QStringLiteral("OutText_%1").arg(i)),
                              Qt::LeftButton);
        } break;
        case 6: {
            const int i = pick(6);
            note(QStringLiteral("panel button %1").arg(i));
            click(m_window.get(),
                  i == 5 ? QStringLiteral("CmdScroll") : QStringLiteral("CmdHelp_%1").arg(i));
        } break;
        case 7:
            visitSettings();
            break;
        case 8:
            note(QStringLiteral("about"));
            click(m_window.get(), QStringLiteral("Command1"));
            checkWindows();
            if (chance(50))
                click(about(), QStringLiteral("Command1"));
            else
                about()->close();
            break;
        default:
            visitEditor();
            break;
        }
    }

    void visitSettings()
    {
        note(QStringLiteral("settings"));
        click(m_window.get(), QStringLiteral("cmdSetup"));
        checkWindows();
        for (int n = 1 + pick(4); n > 0; --n) {
            switch (pick(6)) {
            case 0:
                child<QCheckBox>(settings(), QStringLiteral("RoundCheck"))->click();
                break;
            case 1:
                child<QScrollBar>(settings(), QStringLiteral("HScroll1"))->setValue(pick(16));
                break;
            case 2:
                child<QCheckBox>(settings(), QStringLiteral("IgnoreCheck"))->click();
                break;
            case 3: {
                auto* combo = child<QComboBox>(settings(), QStringLiteral("Combo1"));
                combo->setCurrentIndex(pick(std::max(1, combo->count())));
                click(settings(), QStringLiteral("Command2"));
                break;
            }
            case 4:
                click(settings(), QStringLiteral("Command3"));
                break;
            default:
                click(settings(), QStringLiteral("Command1"));
                break;
            }
        }
        if (chance(50))
            click(settings(), QStringLiteral("Command4"));
        else
            settings()->close();
    }

    void visitEditor()
    {
        note(QStringLiteral("editor"));
        click(m_window.get(), QStringLiteral("cmdEdit"));
        checkWindows();
        const QString nameChars = QStringLiteral("АБВгде (м)*,\" 12км/ч²");
        for (int n = 1 + pick(6); n > 0; --n) {
            switch (pick(9)) {
            case 0: {
                auto* combo = child<QComboBox>(editor(), QStringLiteral("Combo1"));
                combo->setCurrentIndex(pick(std::max(1, combo->count())));
                break;
            }
            case 1: {
                auto* list = child<QListWidget>(editor(), QStringLiteral("List1"));
                if (list->count() > 0)
                    list->setCurrentRow(pick(list->count()));
                break;
            }
            case 2:
                retype(child<QLineEdit>(editor(), QStringLiteral("NameEdit")),
                       randomText(nameChars, 8));
                break;
            case 3:
                retype(child<QLineEdit>(editor(), QStringLiteral("KoefEdit")),
                       randomText(QStringLiteral("0123456789.,/*e-+"), 6));
                break;
            case 4:
                QTest::keyClick(child<QLineEdit>(editor(), QStringLiteral("KoefEdit")),
                                Qt::Key_Return);
                break;
            case 5:
                child<QPlainTextEdit>(editor(), QStringLiteral("DescEdit"))
                    ->setPlainText(randomText(QStringLiteral("Описание, \"с\" кавычками.\n²"), 20));
                break;
            case 6:
                click(editor(), QStringLiteral("Command2"));
                break;
            case 7:
                m_msg.inputAnswers.enqueue(chance(20) ? std::nullopt
                                                      : std::optional(randomText(nameChars, 6)));
                click(editor(), QStringLiteral("Command3"));
                m_msg.inputAnswers.clear();
                break;
            default:
                // Rarely, fill the category to capacity and one past it.
                if (chance(10))
                    for (int i = 0; i <= unitdb::kMaxUnits; ++i)
                        click(editor(), QStringLiteral("Command2"));
                break;
            }
        }
        if (chance(50))
            click(editor(), QStringLiteral("Command1"));
        else
            editor()->close();
    }

    void checkWindows()
    {
        const bool other =
            settings()->isVisible() || editor()->isVisible() || (about() && about()->isVisible());
        QVERIFY2(m_window->isEnabled() == !other, qPrintable(m_log.join(QStringLiteral(" | "))));
    }

    void checkInvariants()
    {
        checkWindows();
        const QString trail = m_log.join(QStringLiteral(" | "));
        auto* selUnit = control<QComboBox>(QStringLiteral("SelUnit"));
        const int c = std::max(0, m_window->categoryIndex(selUnit->currentText()));
        const auto cs = static_cast<std::size_t>(c);
        QStringList names;
        for (int s = 0; s < m_tables->unitCount[cs]; ++s)
            names << QString::fromStdString(m_tables->unitNames[cs][static_cast<std::size_t>(s)]);
        std::array<QComboBox*, 5> lists{};
        for (std::size_t i = 0; i < 5; ++i)
            lists[i] = control<QComboBox>(i == 0 ? QStringLiteral("InUnit")
                                                 : QStringLiteral("OutUnit_%1").arg(i - 1));
        for (QComboBox* list : lists) {
            QStringList shown;
            for (int i = 0; i < list->count(); ++i)
                shown << list->itemText(i);
            QVERIFY2(shown == names, qPrintable(list->objectName() + ": " + trail));
        }

        const QString input = control<QLineEdit>(QStringLiteral("InText"))->text();
        QVERIFY2(!input.contains(QLatin1Char(',')), qPrintable(trail));
        // A quantity without units leaves the outputs as they were.
        if (names.isEmpty())
            return;
        const auto& coefficients = m_tables->coefficients[cs];
        const int p = lists[0]->currentIndex();
        const double k = p >= 0 ? coefficients[static_cast<std::size_t>(p)] : 0.0;
        const double x = calc::readNumber(input.toStdString());
        auto* settingsDialog = m_window->settingsDialog();
        // A bad coefficient leaves a row empty; an overflow is named in its row.
        auto usable = [](double coefficient) {
            return std::isfinite(coefficient) && coefficient > 0.0;
        };
        for (std::size_t i = 0; i < 4; ++i) {
            const int q = lists[i + 1]->currentIndex();
            if (q >= 0)
                m_outCoefficients[i] = coefficients[static_cast<std::size_t>(q)];
            QString expected;
            double v = k / m_outCoefficients[i] * x;
            if (std::isfinite(v) && settingsDialog->rounding())
                v = calc::roundToPlaces(v, settingsDialog->places());
            if ((p >= 0 && !usable(k)) || !usable(m_outCoefficients[i]))
                expected.clear();
            else if (!std::isfinite(v))
                expected = QStringLiteral("Переполнение");
            else
                expected = QString::fromStdString(calc::numberText(v, ui::decimalSeparator()));
            const QString shown = control<QLineEdit>(QStringLiteral("OutText_%1").arg(i))->text();
            QVERIFY2(shown == expected,
                     qPrintable(QStringLiteral("output %1 shows %2, expected %3: %4")
                                    .arg(i)
                                    .arg(shown, expected, trail)));
        }
    }

private slots:
    void randomUserKeepsEverythingConsistent()
    {
        enterFolder();
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
        auto reloaded = std::make_unique<unitdb::UnitTables>();
        ConversionWindow again(*reloaded, m_msg, registry());
        QVERIFY(again.startUp());
        QCOMPARE(reloaded->categoryCount, m_tables->categoryCount);
        for (std::size_t c = 0; c < static_cast<std::size_t>(m_tables->categoryCount); ++c) {
            QCOMPARE(reloaded->categoryNames[c], m_tables->categoryNames[c]);
            QCOMPARE(reloaded->unitCount[c], m_tables->unitCount[c]);
            for (std::size_t s = 0; s < static_cast<std::size_t>(m_tables->unitCount[c]); ++s) {
                QCOMPARE(reloaded->unitNames[c][s], m_tables->unitNames[c][s]);
                QCOMPARE(calc::numberText(reloaded->coefficients[c][s]),
                         calc::numberText(m_tables->coefficients[c][s]));
                std::string desc = m_tables->descriptions[c][s];
                if (!desc.empty() && !desc.ends_with('.'))
                    desc += '.'; // the reader ends every description with a period
                QCOMPARE(reloaded->descriptions[c][s], desc);
            }
        }
        qInfo("%d steps with seed %u: %d categories", steps, seed, m_tables->categoryCount);
        leaveFolder();
    }
};

QTEST_MAIN(RandomUserTest)
#include "randomuser_test.moc"
