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
    m_findBox = new FindBox(m_db, this);
    connect(m_findBox, &FindBox::unitChosen, this, &ConversionWindow::findChosen);
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { openFind(); });
}

void ConversionWindow::openFind()
{
    m_findRow = m_inputUnit;
    const QWidget* focus = focusWidget();
    for (std::size_t i = 0; i < 4; ++i)
        if (focus == m_outputTexts[i] || focus == m_outputUnits[i] || focus == m_helpButtons[i])
            m_findRow = m_outputUnits[i];
    // Only what the category list shows: ignored quantities stay hidden here too.
    std::vector<int> categories;
    for (int p = 0; p < m_categoryList->count(); ++p)
        categories.push_back(std::max(0, categoryIndex(m_categoryList->itemText(p))));
    m_findBox->popUp(categories, m_categoryList);
}

void ConversionWindow::findChosen(int list, int slot)
{
    if (list != m_categoryList->currentIndex()) {
        std::array<int, 5> positions{m_inputUnit->currentIndex()};
        for (std::size_t i = 0; i < 4; ++i)
            positions[i + 1] = m_outputUnits[i]->currentIndex();
        selectIn(m_categoryList, list);
        // The other rows keep their units where the new quantity has as many; the rest
        // stay on its first unit, where the change of quantity put them.
        const std::array<QComboBox*, 5> rows{m_inputUnit, m_outputUnits[0], m_outputUnits[1],
                                             m_outputUnits[2], m_outputUnits[3]};
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (rows[r] != m_findRow && positions[r] > 0 && positions[r] < rows[r]->count())
                selectIn(rows[r], positions[r]);
    }
    selectIn(m_findRow, slot);
    m_inputText->setFocus(Qt::OtherFocusReason);
    m_inputText->selectAll();
}
