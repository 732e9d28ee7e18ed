// Ctrl+F and F3: the find box under the category list, and the unit it hands back put into
// the row that had the focus.
#include "convwin/conversionwindow.h"

#include "convwin/findbox.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

void ConversionWindow::setUpFind()
{
    m_findBox = new FindBox(m_tables, this);
    connect(m_findBox, &FindBox::unitChosen, this, &ConversionWindow::findChosen);
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { openFind(); });
}

void ConversionWindow::openFind()
{
    m_findRow = m_inUnit;
    const QWidget* focus = focusWidget();
    for (std::size_t i = 0; i < 4; ++i)
        if (focus == m_outText[i] || focus == m_outUnit[i] || focus == m_cmdHelp[i])
            m_findRow = m_outUnit[i];
    // Only what the category list shows: ignored quantities stay hidden here too.
    std::vector<int> categories;
    for (int p = 0; p < m_selUnit->count(); ++p)
        categories.push_back(std::max(0, IoU(m_selUnit->itemText(p))));
    m_findBox->popUp(categories, m_selUnit);
}

void ConversionWindow::findChosen(int list, int slot)
{
    if (list != m_selUnit->currentIndex()) {
        std::array<int, 5> positions{m_inUnit->currentIndex()};
        for (std::size_t i = 0; i < 4; ++i)
            positions[i + 1] = m_outUnit[i]->currentIndex();
        selectIn(m_selUnit, list);
        // The other rows keep their units where the new quantity has as many; the rest
        // stay on its first unit, where the change of quantity put them.
        const std::array<QComboBox*, 5> rows{m_inUnit, m_outUnit[0], m_outUnit[1], m_outUnit[2],
                                             m_outUnit[3]};
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (rows[r] != m_findRow && positions[r] > 0 && positions[r] < rows[r]->count())
                selectIn(rows[r], positions[r]);
    }
    selectIn(m_findRow, slot);
    m_inText->setFocus(Qt::OtherFocusReason);
    m_inText->selectAll();
}
