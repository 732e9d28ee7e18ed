// The panel lays out only the paragraphs in view, but each of them whole, and one long word is
// costly to lay out: 1 MB without a blank took a minute. A run that long is cut into
// paragraphs, which look the same as the lines the panel would break it into.
#include "convwin/descriptionpanel.h"

#include "dialogs/uistyle.h"

#include <QLabel>

namespace
{

// Longest run without a blank that the panel shows as one paragraph.
constexpr qsizetype kLongestRun = 256;

const QString kNoDescription = QStringLiteral(
    "Информация недоступна! Если вы знаете информацию об этой единице измерения, сообщите "
    "автору: ravlo@quorvellant.ru /Кворвеллант/");

} // namespace

DescriptionPanel::DescriptionPanel(QWidget* window)
    : QPlainTextEdit(window), m_caption(new QLabel(window))
{
    m_caption->setObjectName(QStringLiteral("LblUnit"));
    m_caption->setGeometry(ui::twipsRect(120, 2520, 5655, 255));
    m_caption->setTextFormat(Qt::PlainText);

    setObjectName(QStringLiteral("LblDesc"));
    setAccessibleName(QStringLiteral("Описание единицы"));
    m_caption->setBuddy(this); // the unit's name labels its description
    setGeometry(ui::twipsRect(120, 2760, 6105, 1695));
    setReadOnly(true);
    setTabChangesFocus(true);
    // A word wider than the panel breaks where the line ends instead of running off it.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    ui::setColours(this, ui::kOutputBack, ui::kOutputText);
}

void DescriptionPanel::showUnit(const std::optional<convmodel::Description>& description)
{
    if (!description)
        return; // nothing shown yet
    m_caption->setText(ui::qs(description->unitName));
    const QString text = description->text ? ui::qs(*description->text) : kNoDescription;
    // Laying out the text is the costly part, and start-up shows the same unit many times.
    if (m_source != text) {
        m_source = text;
        setPlainText(panelText(text));
    }
}

QString DescriptionPanel::panelText(const QString& description)
{
    QString text;
    qsizetype run = 0;
    for (const QChar ch : description) {
        run = ch.isSpace() ? 0 : run + 1;
        if (run > kLongestRun) {
            text += QChar::ParagraphSeparator;
            run = 1;
        }
        text += ch;
    }
    return text;
}
