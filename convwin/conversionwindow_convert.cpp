// Conversion, the quantity and unit lists, and the description panel's content.
#include "convwin/conversionwindow.h"

#include "calc/numbertext.h"
#include "dialogs/settingsdialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QSignalBlocker>

#include <cmath>

namespace
{

const QString kNoDescription = QStringLiteral(
    "Информация недоступна! Если вы знаете информацию об этой единице измерения, сообщите "
    "автору: ravlo@quorvellant.ru /Кворвеллант/");

QString fromStd(const std::string& text)
{
    return QString::fromStdString(text);
}

char decimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    return point == QStringLiteral(",") ? ',' : '.';
}

} // namespace

int ConversionWindow::categoryIndex(const QString& name) const
{
    const std::string key = name.toStdString();
    int found = -1;
    for (std::size_t q = 0; q < m_db.size(); ++q)
        if (m_db[q].name == key)
            found = static_cast<int>(q);
    return found;
}

const std::vector<unitdb::Unit>& ConversionWindow::shownUnits() const
{
    static const std::vector<unitdb::Unit> none;
    if (m_db.size() == 0)
        return none;
    return m_db[static_cast<std::size_t>(std::max(0, categoryIndex(m_categoryList->currentText())))]
        .units;
}

void ConversionWindow::convert()
{
    // A coefficient of 0, a negative or a non-finite one gives no number that belongs to
    // the input: such outputs are left empty rather than stale.
    auto usable = [](double coefficient) {
        return std::isfinite(coefficient) && coefficient > 0.0;
    };
    // The coefficient of the unit a list shows; none while it shows none.
    const auto coefficientOf = [&units = shownUnits()](const QComboBox* list) {
        const int row = list->currentIndex();
        return row < 0 || static_cast<std::size_t>(row) >= units.size()
                   ? std::nullopt
                   : std::optional(units[static_cast<std::size_t>(row)].coefficient);
    };
    const std::optional<double> in = coefficientOf(m_inputUnit);
    const bool inputChosen = in.has_value();
    const double k = in.value_or(0.0);
    const double x = calc::readNumber(m_inputText->text().toStdString());
    m_overflowed = false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (const std::optional<double> chosen = coefficientOf(m_outputUnits[i]))
            m_outCoefficients[i] = *chosen;
        QLineEdit* out = m_outputTexts[i];
        if ((inputChosen && !usable(k)) || !usable(m_outCoefficients[i])) {
            out->clear();
            continue;
        }
        double value = k / m_outCoefficients[i] * x;
        if (std::isfinite(value) && m_settingsDialog &&
            m_settingsDialog->values().rounding == settings::Rounding::On)
            value = calc::roundToPlaces(value, m_settingsDialog->values().decimalPlaces);
        if (!std::isfinite(value)) {
            // Said in place while typing; the message box waits for Enter.
            out->setText(QStringLiteral("Переполнение"));
            m_overflowed = true;
            continue;
        }
        out->setText(fromStd(calc::numberText(value, decimalSeparator())));
    }
}

void ConversionWindow::selectIn(QComboBox* list, int position)
{
    // Qt stays silent when the selection does not change; the handler must run anyway.
    if (list->currentIndex() == position) {
        if (list == m_categoryList)
            categoryChosen();
        else
            unitChosen(list);
        return;
    }
    list->setCurrentIndex(position);
}

void ConversionWindow::categoryChosen()
{
    const std::vector<unitdb::Unit>& units = shownUnits();
    QStringList names;
    for (const unitdb::Unit& unit : units)
        names << fromStd(unit.name);
    for (QComboBox* list : unitLists()) {
        // Filled silently: Qt would select the first entry while adding and run
        // the handlers on a half-filled list.
        const QSignalBlocker block(list);
        list->clear();
        list->addItems(names);
        list->setCurrentIndex(-1);
        fitListWidth(list);
    }
    if (units.empty())
        return;
    for (QComboBox* out : m_outputUnits)
        selectIn(out, 0);
    selectIn(m_inputUnit, 0);
}

void ConversionWindow::unitChosen(QComboBox* list)
{
    list->setToolTip(list->currentText()); // the closed box may cut a long name
    showDescription(list);
    convert();
}

void ConversionWindow::showDescription(QComboBox* list)
{
    const QString name = list->currentIndex() >= 0 ? list->currentText() : QString();
    const std::string key = name.toStdString();
    const unitdb::Unit* found = nullptr; // the last of the name, as the lists find it
    for (const unitdb::Unit& unit : shownUnits())
        if (unit.name == key)
            found = &unit;
    m_panelUnit->setText(name);
    const QString text =
        found && !found->description.empty() ? fromStd(found->description) : kNoDescription;
    // Laying out the text is the costly part, and start-up shows the same unit many times.
    if (m_panelSource != text) {
        m_panelSource = text;
        m_panelDescription->setPlainText(panelText(text));
    }
}

void ConversionWindow::unitKeyTyped(QComboBox* list, QChar typed)
{
    const QChar ch = typed.toUpper();
    const int n = list->count();
    const int s = list->currentIndex();
    auto first = [list](int i) {
        const QString text = list->itemText(i);
        return text.isEmpty() ? QChar() : text.at(0).toUpper();
    };
    for (int i = 0; i < n; ++i) {
        if (first(i) != ch)
            continue;
        if (s >= 0 && first(s) == ch) {
            if (s + 1 < n) {
                selectIn(list, first(s + 1) == ch ? s + 1 : i);
                return;
            }
            continue; // the last entry already has the letter: nothing moves
        }
        selectIn(list, i);
        return;
    }
}
