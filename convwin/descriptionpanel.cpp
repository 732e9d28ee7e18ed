// The fold-out panel: a read-only flat text box, which copes with a description of a megabyte
// without a blank, and the unit's name above it.
#include "convwin/descriptionpanel.h"

#include "dialogs/uistyle.h"

#include <QLabel>

namespace
{

const QString kNoDescription = QStringLiteral(
    "Информация недоступна! Если вы знаете информацию об этой единице измерения, сообщите "
    "автору: ravlo@quorvellant.ru /Кворвеллант/");

} // namespace

DescriptionPanel::DescriptionPanel(QWidget* window)
    : FlatTextEdit(window), m_caption(new QLabel(window))
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
    ui::setColours(this, ui::kOutputBack, ui::kOutputText);
}

void DescriptionPanel::showUnit(const std::optional<convmodel::Description>& description)
{
    if (!description)
        return; // nothing shown yet
    m_caption->setText(ui::qs(description->unitName));
    m_source = description->text ? ui::qs(*description->text) : kNoDescription;
    setOpen(m_open);
}

void DescriptionPanel::setOpen(bool open)
{
    m_open = open;
    // Laying out the text is the costly part, and start-up shows the same unit many times.
    if (m_open && m_laidOut != m_source) {
        m_laidOut = m_source;
        setText(m_source);
    }
}
