// The fold-out panel, the output click that swaps rows, and the buttons that
// open the other windows.
#include "convwin/form1.h"

#include "dialogs/form2.h"
#include "dialogs/form3.h"
#include "dialogs/form4.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace
{
constexpr int kPanelTwips = 2200;
}

void Form1::helpPressed(int index)
{
    if (!m_panelOpen) {
        changeHeight(kPanelTwips);
        m_panelOpen = true;
    }
    m_cmdScroll->setEnabled(true);
    ShowUnit(index == 4 ? m_inUnit : m_outUnit[static_cast<std::size_t>(index)]);
}

void Form1::scrollPressed()
{
    if (m_panelOpen) {
        changeHeight(-kPanelTwips);
        m_panelOpen = false;
    }
    m_cmdScroll->setEnabled(false);
}

void Form1::outputClicked(int index)
{
    const auto i = static_cast<std::size_t>(index);
    QLineEdit* out = m_outText[i];
    QComboBox* outUnit = m_outUnit[i];

    const int inTop = m_inText->y();
    m_inText->move(m_inText->x(), out->y());
    m_inUnit->move(m_inUnit->x(), outUnit->y());
    out->move(out->x(), inTop);
    outUnit->move(outUnit->x(), inTop);

    const int formerInput = m_inUnit->currentIndex();
    setInText(out->text());
    selectIn(m_inUnit, outUnit->currentIndex());
    selectIn(outUnit, formerInput);

    const int helpTop = m_cmdHelp[4]->y();
    m_cmdHelp[4]->move(m_cmdHelp[4]->x(), m_cmdHelp[i]->y());
    m_cmdHelp[i]->move(m_cmdHelp[i]->x(), helpTop);

    m_inText->setFocus(Qt::OtherFocusReason);
    if (m_inText->text() == QStringLiteral("0"))
        setInText(QString());
    m_inText->selectAll();
    if (m_panelOpen)
        helpPressed(4);
}

void Form1::openSettings()
{
    setEnabled(false);
    m_form2->show();
    m_form2->raise();
    m_form2->activateWindow();
}

void Form1::openAbout()
{
    if (!m_form3) {
        m_form3 = new Form3();
        connect(m_form3, &Form3::handedBack, this, &Form1::handBack);
    }
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
    setEnabled(false);
}

void Form1::openEditor()
{
    m_form4->selectCategory(std::max(0, IoU(m_selUnit->currentText())));
    m_form4->selectUnit(m_inUnit->currentIndex());
    m_form4->show();
    m_form4->raise();
    m_form4->activateWindow();
    setEnabled(false);
}

void Form1::editorHandedBack()
{
    setEnabled(true);
    // Refill the unit lists from the edited tables, keeping the selections by position.
    std::array<int, 5> positions{m_inUnit->currentIndex()};
    for (std::size_t i = 0; i < 4; ++i)
        positions[i + 1] = m_outUnit[i]->currentIndex();
    selectIn(m_selUnit, m_selUnit->currentIndex());
    selectIn(m_inUnit, positions[0]);
    for (std::size_t i = 0; i < 4; ++i)
        selectIn(m_outUnit[i], positions[i + 1]);
    handBack();
}

void Form1::handBack()
{
    setEnabled(true);
    show();
    raise();
    activateWindow();
}
