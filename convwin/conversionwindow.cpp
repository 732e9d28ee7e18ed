// The conversion window's controls, their layout and their wiring to the model, and the
// other windows it opens.
#include "convwin/conversionwindow.h"

#include "convmodel/inputtext.h"
#include "convmodel/session.h"
#include "convwin/descriptionpanel.h"
#include "convwin/findbox.h"
#include "convwin/inputline.h"
#include "convwin/outputfield.h"
#include "convwin/shutdownsteps.h"
#include "convwin/unitpicker.h"
#include "dialogs/aboutbox.h"
#include "dialogs/access.h"
#include "dialogs/databaseeditor.h"
#include "dialogs/messagetexts.h"
#include "dialogs/messenger.h"
#include "dialogs/settingsdialog.h"
#include "dialogs/uistyle.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTimer>

#include <algorithm>
#include <vector>

using convmodel::kInputRow;
using convmodel::kOutputRows;

namespace
{

constexpr int kClientWidth = 6270;
constexpr int kFoldedHeight = 2330;
constexpr int kPanelTwips = 2200;
constexpr int kRowTop = 840;
constexpr int kRowStep = 360;
constexpr int kWarmUpDelay = 300; // ms after start-up: the first frame is painted by then
constexpr unitdb::ProgramVersion kVersion{MV_VERSION_MAJOR, MV_VERSION_MINOR, MV_VERSION_PATCH};

// `spoken` names the button for assistive technology, where a one-letter caption says nothing.
// `keys` press it from anywhere in the window, the folded panel included.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption,
                        QString tooltip, QRect geometry, const QString& spoken,
                        const QKeySequence& keys = {})
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    button->setAccessibleName(spoken);
    if (!keys.isEmpty()) {
        button->setShortcut(keys);
        tooltip += QStringLiteral(" (%1)").arg(keys.toString(QKeySequence::NativeText));
    }
    button->setToolTip(tooltip);
    return button;
}

int rowTop(int row)
{
    return row == kInputRow ? 480 : kRowTop + kRowStep * row;
}

} // namespace

ConversionWindow::ConversionWindow(convmodel::Session& session, Messenger& messenger,
                                   QWidget* parent)
    : QWidget(parent), m_session(session), m_msg(messenger), m_heightTwips(kFoldedHeight)
{
    ui::exposeAs(this, QAccessible::Window);
    setObjectName(QStringLiteral("Form1"));
    setFont(ui::programFont());
    buildControls();
    connectControls();
    setFixedSize(ui::twips(kClientWidth), ui::twips(kFoldedHeight));
}

ConversionWindow::~ConversionWindow() = default;

QString ConversionWindow::caption()
{
    return QStringLiteral("Метрованта %1.%2%3")
        .arg(kVersion.majorVersion)
        .arg(kVersion.minorVersion)
        .arg(kVersion.revision);
}

void ConversionWindow::buildControls()
{
    auto* categoryLabel = new QLabel(QStringLiteral("Категория:"), this);
    categoryLabel->setObjectName(QStringLiteral("Lbl1"));
    categoryLabel->setGeometry(ui::twipsRect(1260, 165, 1035, 195));
    categoryLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_categoryList = new QComboBox(this);
    m_categoryList->setObjectName(QStringLiteral("SelUnit"));
    m_categoryList->setGeometry(ui::twipsRect(2400, 120, 3825, 315));
    m_categoryList->setMaxVisibleItems(20);
    ui::setColours(m_categoryList, ui::kFieldBack, ui::kFieldText);
    m_categoryList->setAccessibleName(QStringLiteral("Категория"));
    categoryLabel->setBuddy(m_categoryList);

    m_input = new InputLine(this);
    m_units[kInputRow] =
        new UnitPicker(QStringLiteral("InUnit"), QStringLiteral("Единица значения"),
                       ui::twipsRect(2400, 480, 3495, 315), this);
    const QString help = QStringLiteral("Получить справку");
    for (int row = 0; row < kOutputRows; ++row) {
        m_outputs[static_cast<std::size_t>(row)] = new OutputField(row, this);
        m_units[static_cast<std::size_t>(row)] =
            new UnitPicker(QStringLiteral("OutUnit_%1").arg(row),
                           QStringLiteral("Единица результата %1").arg(row + 1),
                           ui::twipsRect(2400, rowTop(row), 3495, 315), this);
    }
    for (int row = 0; row <= kInputRow; ++row)
        m_help[static_cast<std::size_t>(row)] = makeButton(
            this, QStringLiteral("CmdHelp_%1").arg(row), QStringLiteral("?"), help,
            ui::twipsRect(5880, rowTop(row), 315, 315),
            row == kInputRow ? QStringLiteral("Описание единицы значения")
                             : QStringLiteral("Описание единицы результата %1").arg(row + 1));

    ui::addEtchedLine(this, QStringLiteral("Line"), 120, 6240, 2400);
    // Before the buttons: the unit's caption runs under them and must not take their clicks.
    m_panel = new DescriptionPanel(this);
    m_aboutButton =
        makeButton(this, QStringLiteral("Command1"), QStringLiteral("O"),
                   QStringLiteral("О программе..."), ui::twipsRect(5340, 2520, 225, 225),
                   QStringLiteral("О программе"), QKeySequence(Qt::Key_F1));
    m_settingsButton =
        makeButton(this, QStringLiteral("cmdSetup"), QStringLiteral("S"),
                   QStringLiteral("Настройки..."), ui::twipsRect(5550, 2520, 225, 225),
                   QStringLiteral("Настройки"), QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_editorButton =
        makeButton(this, QStringLiteral("cmdEdit"), QStringLiteral("Р"),
                   QStringLiteral("Редактирование базы"), ui::twipsRect(5760, 2520, 225, 225),
                   QStringLiteral("Редактор базы"), QKeySequence(Qt::Key_F2));
    m_foldButton = makeButton(this, QStringLiteral("CmdScroll"), QStringLiteral("^"),
                              QStringLiteral("Скрыть справку"), ui::twipsRect(5970, 2520, 225, 225),
                              QStringLiteral("Свернуть описание"));
    m_foldButton->setEnabled(false);

    ui::pressOnEnter(this);
    updateTabOrder();
    setPanelReachable(false);
    m_input->setFocus();
}

void ConversionWindow::connectControls()
{
    // Only the user's choices arrive here: the window shows the model's without a signal.
    connect(m_categoryList, &QComboBox::currentIndexChanged, this,
            &ConversionWindow::categoryChosen);
    for (int row = 0; row <= kInputRow; ++row) {
        connect(m_units[static_cast<std::size_t>(row)], &UnitPicker::unitChosen, this,
                [this, row](int slot) { unitChosen(row, slot); });
        connect(m_help[static_cast<std::size_t>(row)], &QPushButton::clicked, this,
                [this, row] { helpPressed(row); });
    }
    for (int row = 0; row < kOutputRows; ++row)
        connect(m_outputs[static_cast<std::size_t>(row)], &OutputField::swapRequested, this,
                [this, row] { outputSwapped(row); });
    connect(m_input, &InputLine::typed, this, &ConversionWindow::inputTyped);
    connect(m_input, &InputLine::entered, this, &ConversionWindow::inputEntered);
    connect(m_input, &InputLine::olderWanted, this,
            [this] { recall(m_session.history().older(ui::utf8(m_input->text()))); });
    connect(m_input, &InputLine::newerWanted, this,
            [this] { recall(m_session.history().newer(ui::utf8(m_input->text()))); });
    connect(m_foldButton, &QPushButton::clicked, this, &ConversionWindow::foldPressed);
    connect(m_settingsButton, &QPushButton::clicked, this, &ConversionWindow::openSettings);
    connect(m_aboutButton, &QPushButton::clicked, this, &ConversionWindow::openAbout);
    connect(m_editorButton, &QPushButton::clicked, this, &ConversionWindow::openEditor);
    // The input line's placeholder tells of these keys.
    for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_F), QKeySequence(Qt::Key_F3)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this,
                &ConversionWindow::openFind);
}

void ConversionWindow::showMessage(const Message& message)
{
    m_msg.show(this, message.text, message.title, message.icon);
}

bool ConversionWindow::startUp()
{
    m_panelOpen = false;
    m_panel->setOpen(false);
    setWindowTitle(caption());
    for (const convmodel::Problem& problem : m_session.start()) {
        showMessage(problemMessage(problem));
        if (std::holds_alternative<convmodel::BaseMissing>(problem))
            return false;
    }
    showAll();
    // Once the first frame is up, so that neither it nor the first key press waits for it.
    QTimer::singleShot(kWarmUpDelay, this, [this] { m_session.model().prepareUnitWords(); });
    return true;
}

void ConversionWindow::shutDown()
{
    // What the open editor's boxes hold is an edit like any other.
    if (m_editor && m_editor->isVisible())
        m_editor->commitBoxes();
    ShutdownSteps(m_session, m_msg, this).run();
    for (QWidget* other :
         std::initializer_list<QWidget*>{m_settingsDialog.get(), m_editor.get(), m_aboutBox.get()})
        if (other)
            other->hide();
}

void ConversionWindow::closeEvent(QCloseEvent* event)
{
    shutDown();
    event->accept();
}

void ConversionWindow::showAll()
{
    const convmodel::ConversionModel& model = m_session.model();
    QStringList categories;
    for (std::size_t index : model.listed())
        categories << ui::qs(m_session.database().name(index));
    const QSignalBlocker block(m_categoryList);
    bool same = categories.size() == m_categoryList->count();
    for (int i = 0; same && i < m_categoryList->count(); ++i)
        same = m_categoryList->itemText(i) == categories[i];
    if (!same) {
        m_categoryList->clear();
        m_categoryList->addItems(categories);
    }
    m_categoryList->setCurrentIndex(model.quantityPosition());
    QStringList units;
    if (const unitdb::Quantity* quantity = model.quantity())
        for (const unitdb::Unit& unit : quantity->units)
            units << ui::qs(unit.name);
    for (UnitPicker* picker : m_units)
        picker->setUnits(units);
    showChoices();
}

void ConversionWindow::showChoices()
{
    const convmodel::ConversionModel& model = m_session.model();
    for (int row = 0; row <= kInputRow; ++row)
        m_units[static_cast<std::size_t>(row)]->showSlot(model.unitSlot(row));
    m_input->showText(ui::qs(model.input()));
    for (int row = 0; row < kOutputRows; ++row)
        m_outputs[static_cast<std::size_t>(row)]->setText(outputShown(model, row));
    m_panel->showUnit(model.panel());
}

void ConversionWindow::categoryChosen(int position)
{
    m_session.model().selectQuantity(position);
    showAll();
}

void ConversionWindow::unitChosen(int row, int slot)
{
    m_session.model().selectUnit(row, slot);
    showChoices();
}

void ConversionWindow::inputTyped(const QString& text)
{
    if (convmodel::isVerseKeyword(ui::utf8(text)))
        m_msg.show(this, verseText(), ui::programTitle());
    m_session.model().setInput(ui::utf8(text));
    showChoices();
}

void ConversionWindow::inputEntered()
{
    const convmodel::EnterOutcome outcome = m_session.enter(ui::utf8(overflowBrief()));
    // A refused line keeps what the user typed.
    if (!outcome.result.failed()) {
        m_input->replaceText(ui::qs(m_session.model().input()));
        showChoices();
    }
    for (const Message& message : enterMessages(outcome, ui::qs(m_session.runtime().logFile)))
        showMessage(message);
}

void ConversionWindow::recall(const std::optional<std::string>& text)
{
    if (!text)
        return;
    m_session.model().setInput(*text);
    m_input->replaceText(ui::qs(m_session.model().input()));
    showChoices();
}

void ConversionWindow::helpPressed(int row)
{
    if (!m_panelOpen) {
        changeHeight(kPanelTwips);
        m_panelOpen = true;
    }
    m_foldButton->setEnabled(true);
    setPanelReachable(true);
    m_session.model().showInPanel(row);
    m_panel->showUnit(m_session.model().panel());
    m_panel->setOpen(true);
}

void ConversionWindow::foldPressed()
{
    if (m_panelOpen) {
        changeHeight(-kPanelTwips);
        m_panelOpen = false;
    }
    m_panel->setOpen(false);
    setPanelReachable(false);
    m_foldButton->setEnabled(false);
}

void ConversionWindow::outputSwapped(int row)
{
    // The rows swap places on screen: the value and the unit stay where they were shown.
    const auto i = static_cast<std::size_t>(row);
    for (auto [a, b] : {std::pair<QWidget*, QWidget*>{m_input, m_outputs[i]},
                        {m_units[kInputRow], m_units[i]},
                        {m_help[kInputRow], m_help[i]}}) {
        const int top = a->y();
        a->move(a->x(), b->y());
        b->move(b->x(), top);
    }
    updateTabOrder();
    m_session.model().swap(row);
    m_input->replaceText(ui::qs(m_session.model().input()));
    showChoices();
    m_input->setFocus(Qt::OtherFocusReason);
    m_input->selectAll();
    if (m_panelOpen)
        helpPressed(kInputRow);
}

void ConversionWindow::openSettings()
{
    if (!m_settingsDialog) {
        m_settingsDialog = std::make_unique<SettingsDialog>(
            m_msg, [this] { return ui::qs(m_session.report(kVersion)); });
        connect(m_settingsDialog.get(), &SettingsDialog::roundingChanged, this,
                [this](settings::Rounding rounding, int places) {
                    m_session.setRounding(rounding, places);
                    showChoices();
                });
        connect(m_settingsDialog.get(), &SettingsDialog::handedBack, this,
                &ConversionWindow::settingsHandedBack);
        m_settingsDialog->setLogFileCheck([this](const QString& name) {
            const auto own = m_session.ownFileFor(ui::utf8(name));
            return own.empty() ? QString() : ui::qs(own.filename().string());
        });
    }
    QStringList quantities;
    for (const std::string& name : m_session.quantityNames())
        quantities << ui::qs(name);
    m_settingsDialog->setIgnoreFileEncoding(m_session.ignoreListEncoding());
    m_settingsDialog->setValues(m_session.runtime(), quantities);
    handOver(m_settingsDialog.get());
}

void ConversionWindow::openAbout()
{
    if (!m_aboutBox) {
        m_aboutBox = std::make_unique<AboutBox>();
        connect(m_aboutBox.get(), &AboutBox::handedBack, this, &ConversionWindow::handBack);
    }
    handOver(m_aboutBox.get());
}

void ConversionWindow::openEditor()
{
    if (!m_editor) {
        m_editor = std::make_unique<DatabaseEditor>(m_session.database(), m_msg);
        connect(m_editor.get(), &DatabaseEditor::handedBack, this,
                &ConversionWindow::editorHandedBack);
    }
    const auto quantity = m_session.model().quantityIndex();
    m_editor->selectCategory(quantity ? static_cast<int>(*quantity) : 0);
    m_editor->selectUnit(m_session.model().unitSlot(kInputRow));
    handOver(m_editor.get());
}

void ConversionWindow::openFind()
{
    m_findRow = kInputRow;
    const QWidget* focus = focusWidget();
    for (int row = 0; row < kOutputRows; ++row) {
        const auto i = static_cast<std::size_t>(row);
        if (focus == m_outputs[i] || focus == m_units[i] || focus == m_help[i])
            m_findRow = row;
    }
    if (!m_findBox) {
        m_findBox = new FindBox(m_session.database(), this);
        connect(m_findBox, &FindBox::unitChosen, this, &ConversionWindow::findChosen);
    }
    // Only what the category list shows: ignored quantities stay hidden here too.
    const auto& listed = m_session.model().listed();
    m_findBox->popUp(std::vector<int>(listed.begin(), listed.end()), m_categoryList);
}

void ConversionWindow::findChosen(int position, int slot)
{
    m_session.model().chooseFound(m_findRow, position, slot);
    showAll();
    m_input->setFocus(Qt::OtherFocusReason);
    m_input->selectAll();
}

void ConversionWindow::settingsHandedBack()
{
    m_session.setRuntime(m_settingsDialog->values());
    showAll();
    handBack();
    QTimer::singleShot(0, this, [this] { m_session.model().prepareUnitWords(); });
}

void ConversionWindow::editorHandedBack()
{
    // The lists again from the edited database, keeping the choices by position.
    m_session.databaseHandedBack();
    // The panel describes what the user was just editing.
    if (const unitdb::Place chosen = m_editor->chosenUnit(); chosen.slot)
        m_session.model().showUnitInPanel(*chosen.quantity, *chosen.slot);
    showAll();
    handBack();
    QTimer::singleShot(0, this, [this] { m_session.model().prepareUnitWords(); });
}

void ConversionWindow::handOver(QWidget* other)
{
    // Disabled, the window loses its focus; the keyboard comes back to where it was.
    m_returnFocus = focusWidget();
    setEnabled(false);
    ui::showOver(other, this);
}

void ConversionWindow::handBack()
{
    setEnabled(true);
    show();
    raise();
    activateWindow();
    if (m_returnFocus)
        m_returnFocus->setFocus(Qt::OtherFocusReason);
}

void ConversionWindow::changeHeight(int deltaTwips)
{
    // Kept in twips so that folding returns exactly to the folded height.
    m_heightTwips = std::max(kFoldedHeight, m_heightTwips + deltaTwips);
    setFixedSize(ui::twips(kClientWidth), ui::twips(m_heightTwips));
}

void ConversionWindow::updateTabOrder()
{
    // The order the rows are seen in: a swap moves the input row among the outputs.
    std::array<std::size_t, 4> rows{0, 1, 2, 3};
    std::ranges::sort(rows, [this](std::size_t a, std::size_t b) {
        return m_outputs[a]->y() < m_outputs[b]->y();
    });
    std::vector<QWidget*> chain{m_categoryList, m_input, m_units[kInputRow], m_help[kInputRow]};
    for (std::size_t i : rows)
        chain.insert(chain.end(), {m_outputs[i], m_units[i], m_help[i]});
    chain.insert(chain.end(),
                 {m_aboutButton, m_settingsButton, m_editorButton, m_foldButton, m_panel});
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void ConversionWindow::setPanelReachable(bool open)
{
    // The folded panel lies below the window's edge: Tab must not wander there.
    for (QWidget* control : std::initializer_list<QWidget*>{
             m_aboutButton, m_settingsButton, m_editorButton, m_foldButton, m_panel}) {
        if (!open && control->hasFocus())
            m_input->setFocus(Qt::TabFocusReason);
        control->setFocusPolicy(!open                ? Qt::NoFocus
                                : control == m_panel ? Qt::StrongFocus
                                                     : Qt::TabFocus);
    }
}
