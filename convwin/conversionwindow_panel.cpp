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

#include <algorithm>

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
    m_foldButton->setEnabled(true);
    setPanelReachable(true);
    showDescription(index == 4 ? m_inputUnit : m_outputUnits[static_cast<std::size_t>(index)]);
}

void ConversionWindow::scrollPressed()
{
    if (m_panelOpen) {
        changeHeight(-kPanelTwips);
        m_panelOpen = false;
    }
    setPanelReachable(false);
    m_foldButton->setEnabled(false);
}

void ConversionWindow::outputClicked(int index)
{
    const auto i = static_cast<std::size_t>(index);
    QLineEdit* out = m_outputTexts[i];
    QComboBox* outUnit = m_outputUnits[i];

    const int inTop = m_inputText->y();
    m_inputText->move(m_inputText->x(), out->y());
    m_inputUnit->move(m_inputUnit->x(), outUnit->y());
    out->move(out->x(), inTop);
    outUnit->move(outUnit->x(), inTop);

    const int formerInput = m_inputUnit->currentIndex();
    setInText(out->text());
    selectIn(m_inputUnit, outUnit->currentIndex());
    selectIn(outUnit, formerInput);

    const int helpTop = m_helpButtons[4]->y();
    m_helpButtons[4]->move(m_helpButtons[4]->x(), m_helpButtons[i]->y());
    m_helpButtons[i]->move(m_helpButtons[i]->x(), helpTop);
    updateTabOrder();

    m_inputText->setFocus(Qt::OtherFocusReason);
    if (m_inputText->text() == QStringLiteral("0"))
        setInText(QString());
    m_inputText->selectAll();
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
    m_editor->selectCategory(std::max(0, categoryIndex(m_categoryList->currentText())));
    m_editor->selectUnit(m_inputUnit->currentIndex());
    ui::showOver(m_editor, this);
    setEnabled(false);
}

void ConversionWindow::editorHandedBack()
{
    setEnabled(true);
    // Refill the unit lists from the edited database, keeping the selections by position.
    std::array<int, 5> positions{m_inputUnit->currentIndex()};
    for (std::size_t i = 0; i < 4; ++i)
        positions[i + 1] = m_outputUnits[i]->currentIndex();
    selectIn(m_categoryList, m_categoryList->currentIndex());
    selectIn(m_inputUnit, positions[0]);
    for (std::size_t i = 0; i < 4; ++i)
        selectIn(m_outputUnits[i], positions[i + 1]);
    handBack();
}

void ConversionWindow::settingsHandedBack()
{
    // The ignore list may have changed: show what it leaves, keeping the quantity by name.
    const settings::RuntimeSettings values = m_settingsDialog->values();
    // Ticking logging again gives a log that failed another try.
    if (values.logging == settings::Logging::On)
        m_logFailed = false;
    QStringList shown;
    for (const QString& name : m_quantityNames)
        if (std::ranges::find(values.ignoredCategories, name.toStdString()) ==
            values.ignoredCategories.end())
            shown << name;
    QStringList listed;
    for (int i = 0; i < m_categoryList->count(); ++i)
        listed << m_categoryList->itemText(i);
    if (shown != listed) {
        const QString current = m_categoryList->currentText();
        {
            const QSignalBlocker block(m_categoryList);
            m_categoryList->clear();
            m_categoryList->addItems(shown);
            m_categoryList->setCurrentIndex(shown.indexOf(current));
        }
        if (m_categoryList->currentIndex() < 0 && !shown.isEmpty())
            selectIn(m_categoryList, 0);
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
