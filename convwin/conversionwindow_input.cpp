// The input line: commas become periods as typed, Enter evaluates in place and
// writes the calculation log.
#include "convwin/conversionwindow.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "dialogs/calcmessages.h"
#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/typography.h"
#include "dialogs/uistyle.h"

#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

#include <variant>

namespace
{

// Shown in a Qt box, so the lines break at "\n".
const QString kVerse = QStringLiteral("Ravlo - о единицах\n"
                                      "----------------------------------------\n"
                                      "Аршин и фут, верста и миля,\n"
                                      "Пуд, фунт, золотник - всё в строку:\n"
                                      "Число одно, а мер обилье,\n"
                                      "И все ведут к тому же сроку.\n"
                                      "Самара, 2004\n"
                                      "\n"
                                      "Хотите ещё стихов? Пишите:\n"
                                      "ravlo@quorvellant.ru");

} // namespace

QString ConversionWindow::shortName(const QString& unitName)
{
    const auto open = unitName.indexOf(QLatin1Char('('));
    if (open < 0)
        return unitName;
    const auto close = unitName.indexOf(QLatin1Char(')'), open + 1);
    // A name with "(" and no ")" after it gives the rest of the name.
    return close < 0 ? unitName.mid(open + 1) : unitName.mid(open + 1, close - open - 1);
}

void ConversionWindow::setInText(const QString& text)
{
    if (m_inputText->text() == text)
        inTextChanged(); // Qt stays silent for an unchanged text; the handler must run anyway
    else
        m_inputText->setText(text);
}

void ConversionWindow::inTextChanged()
{
    const QString text = m_inputText->text();
    if (text == QStringLiteral("Ravlo"))
        m_msg.show(this, kVerse, ui::programTitle());
    // Pasted typographic signs would otherwise end the number silently («5−1» read as 5).
    const QString plain = plainOperators(text).replace(QLatin1Char(','), QLatin1Char('.'));
    if (plain != text) {
        const int caret = m_inputText->cursorPosition();
        m_inputText->setText(plain); // runs this handler again, which converts
        m_inputText->setCursorPosition(caret);
        return;
    }
    convert();
}

void ConversionWindow::inTextEnter()
{
    const QString before = m_inputText->text();
    const settings::RuntimeSettings values = m_settingsDialog->values();
    const calc::CalcOptions options{values.rounding == settings::Rounding::On
                                        ? calc::RoundingMode::On
                                        : calc::RoundingMode::Off,
                                    values.decimalPlaces};
    const calc::BracketResult result = calc::evaluate(before.toStdString(), options);
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result)) {
        // The line keeps what the user typed; nothing is logged.
        m_msg.show(this, calcErrorText(failure->code), QStringLiteral("Ошибка"), MsgIcon::Stop);
        return;
    }
    if (const auto* value = std::get_if<double>(&result)) {
        const QString sep = QLocale::system().decimalPoint();
        setInText(QString::fromStdString(
            calc::numberText(*value, sep == QStringLiteral(",") ? ',' : '.')));
    } else {
        setInText(before);
    }
    // Typing showed «Переполнение» beside the input; Enter says why, once.
    if (m_overflowed)
        reportError(6, {});
    if (values.logging == settings::Logging::On)
        writeLog(before, m_inputText->text());
}

void ConversionWindow::writeLog(const QString& before, const QString& after)
{
    if (!m_log.isOpen() && (m_logFailed || !openLog(CalcLog::Mode::Append)))
        return;
    const QString unit =
        shortName(m_inputUnit->currentIndex() >= 0 ? m_inputUnit->currentText() : QString());
    std::vector<std::string> lines;
    lines.push_back(
        (before + ' ' + unit + QStringLiteral(" = ") + after + ' ' + unit + QStringLiteral(" = "))
            .toStdString());
    for (std::size_t i = 0; i < 4; ++i) {
        const QString outUnit = shortName(m_inputUnit->itemText(m_outputUnits[i]->currentIndex()));
        lines.push_back(
            (QStringLiteral("       = ") + m_outputTexts[i]->text() + ' ' + outUnit).toStdString());
    }
    lines.emplace_back();
    if (auto failure = m_log.write(lines)) {
        m_msg.show(this,
                   QStringLiteral("Не удалось записать в log-файл %1: %2")
                       .arg(QString::fromStdString(m_settingsDialog->values().logFile),
                            QString::fromStdString(*failure)),
                   QStringLiteral("Ошибка!"), MsgIcon::Exclamation);
    }
}
