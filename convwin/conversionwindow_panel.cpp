// The fold-out panel, the output click that swaps rows, and the buttons that
// open the other windows.
#include "convwin/conversionwindow.h"

#include "dialogs/aboutbox.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace
{
constexpr int kPanelTwips = 2200;
// Longest run without a blank that the panel shows as one paragraph.
constexpr qsizetype kLongestRun = 256;
} // namespace

QString ConversionWindow::panelText(const QString& description)
{
    // The panel lays out only the paragraphs in view, but each of them whole, and one long
    // word is costly to lay out: 1 MB without a blank took a minute. A run that long is cut
    // into paragraphs, which look the same as the lines the panel would break it into.
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

void ConversionWindow::helpPressed(int index)
{
    if (!m_panelOpen) {
        changeHeight(kPanelTwips);
        m_panelOpen = true;
    }
    m_cmdScroll->setEnabled(true);
    setPanelReachable(true);
    ShowUnit(index == 4 ? m_inUnit : m_outUnit[static_cast<std::size_t>(index)]);
}

void ConversionWindow::scrollPressed()
{
    if (m_panelOpen) {
        changeHeight(-kPanelTwips);
        m_panelOpen = false;
    }
    setPanelReachable(false);
    m_cmdScroll->setEnabled(false);
}

void ConversionWindow::outputClicked(int index)
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
    updateTabOrder();

    m_inText->setFocus(Qt::OtherFocusReason);
    if (m_inText->text() == QStringLiteral("0"))
        setInText(QString());
    m_inText->selectAll();
    if (m_panelOpen)
        helpPressed(4);
}

void ConversionWindow::openSettings()
{
    setEnabled(false);
    ui::showOver(m_settingsDialog, this);
}

void ConversionWindow::openAbout()
{
    if (!m_aboutBox) {
        m_aboutBox = new AboutBox();
        connect(m_aboutBox, &AboutBox::handedBack, this, &ConversionWindow::handBack);
    }
    ui::showOver(m_aboutBox, this);
    setEnabled(false);
}

void ConversionWindow::openEditor()
{
    m_editor->selectCategory(std::max(0, IoU(m_selUnit->currentText())));
    m_editor->selectUnit(m_inUnit->currentIndex());
    ui::showOver(m_editor, this);
    setEnabled(false);
}

void ConversionWindow::editorHandedBack()
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

void ConversionWindow::settingsHandedBack()
{
    // The ignore list may have changed: show what it leaves, keeping the quantity by name.
    QStringList shown;
    const QStringList ignored = m_settingsDialog->ignored();
    for (const QString& name : m_settingsDialog->categories())
        if (!ignored.contains(name))
            shown << name;
    QStringList listed;
    for (int i = 0; i < m_selUnit->count(); ++i)
        listed << m_selUnit->itemText(i);
    if (shown != listed) {
        const QString current = m_selUnit->currentText();
        {
            const QSignalBlocker block(m_selUnit);
            m_selUnit->clear();
            m_selUnit->addItems(shown);
            m_selUnit->setCurrentIndex(shown.indexOf(current));
        }
        if (m_selUnit->currentIndex() < 0 && !shown.isEmpty())
            selectIn(m_selUnit, 0);
    }
    handBack();
}

void ConversionWindow::handBack()
{
    setEnabled(true);
    show();
    raise();
    activateWindow();
}
