// The editor's controls and their commits: a field is checked when it is committed, and a
// refusal is shown in place so that the user can go on typing to fix it.
#include "dialogs/databaseeditor.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "convmodel/inputtext.h"
#include "dialogs/access.h"
#include "dialogs/flattextedit.h"
#include "dialogs/messagetexts.h"
#include "dialogs/messenger.h"
#include "dialogs/uistyle.h"
#include "unitdb/unitdatabase.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>

#include <algorithm>
#include <cassert>
#include <variant>

namespace
{

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

template <typename T> T* place(T* widget, const char* name, QRect geometry)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    return place(new QLabel(text, parent), name, geometry);
}

// Undo and redo are the editor's, over all its changes, also where a box has the focus.
const QKeySequence kUndoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                  QKeySequence(Qt::CTRL | Qt::Key_Y)};

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption,
                       const QString& tooltip, QRect geometry)
{
    auto* button = place(new QPushButton(caption, parent), name, geometry);
    button->setToolTip(tooltip);
    button->setAccessibleName(QString(caption).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    return button;
}

// The widgets count in int, the database in std::size_t.
std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

DatabaseEditor::DatabaseEditor(unitdb::UnitDatabase& database, Messenger& messenger,
                               QWidget* parent)
    : HandBackDialog(parent, Qt::Window), m_db(database), m_msg(messenger)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Метрованта - Редактор базы данных"));
    setFont(ui::programFont());
    setFixedSize(ui::twips(7305), ui::twips(4755));

    m_categoryList = place(new QComboBox(this), "Combo1", ui::twipsRect(120, 120, 3375, 315));
    m_unitList = place(new QListWidget(this), "List1", ui::twipsRect(120, 480, 3375, 3570));
    addLabel(this, "Label1", QStringLiteral("Наименование физической единицы"),
             ui::twipsRect(3600, 120, 3240, 195));
    m_nameEdit = place(new QLineEdit(this), "NameEdit", ui::twipsRect(3600, 360, 3615, 285));
    addLabel(this, "Label2", QStringLiteral("Коэффициент"), ui::twipsRect(3600, 900, 1215, 195));
    m_coefficientEdit =
        place(new QLineEdit(this), "KoefEdit", ui::twipsRect(3600, 1140, 3615, 285));
    addLabel(this, "Label3", QStringLiteral("Описание"), ui::twipsRect(3600, 1680, 855, 195));
    m_descEdit = place(new FlatTextEdit(this), "DescEdit", ui::twipsRect(3600, 1920, 3615, 1605));
    // A refusal has a line of its own under its box, so that it hides no caption.
    m_nameReason = addLabel(this, "NameReason", {}, ui::twipsRect(3600, 660, 3615, 195));
    m_coefficientReason = addLabel(this, "KoefReason", {}, ui::twipsRect(3600, 1440, 3615, 195));
    for (QLabel* reason : {m_nameReason, m_coefficientReason}) {
        ui::setColours(reason, palette().color(QPalette::Window), QColor(0xC0, 0x00, 0x00));
        reason->hide();
    }
    // The captions wrap onto two lines, as the narrow buttons need.
    auto* newUnitButton = place(new QPushButton(QStringLiteral("Новая\nединица"), this), "Command2",
                                ui::twipsRect(3600, 3600, 1095, 495));
    auto* newCategoryButton = place(new QPushButton(QStringLiteral("Новая\nкатегория"), this),
                                    "Command3", ui::twipsRect(4680, 3600, 1095, 495));
    auto* ok = place(new QPushButton(QStringLiteral("ОК"), this), "Command1",
                     ui::twipsRect(5880, 3600, 1335, 495));
    m_deleteUnitButton = addButton(this, "cmdDeleteUnit", QStringLiteral("Удалить\nединицу"),
                                   QStringLiteral("Удалить выбранную единицу"),
                                   ui::twipsRect(3600, 4200, 1095, 495));
    m_deleteCategoryButton = addButton(
        this, "cmdDeleteCategory", QStringLiteral("Удалить\nкатегорию"),
        QStringLiteral("Удалить выбранную категорию"), ui::twipsRect(4680, 4200, 1095, 495));
    m_undoButton = addButton(this, "cmdUndo", QStringLiteral("Отменить"),
                             QStringLiteral("Отменить изменение (Ctrl+Z)"),
                             ui::twipsRect(120, 4200, 1635, 495));
    m_redoButton = addButton(this, "cmdRedo", QStringLiteral("Вернуть"),
                             QStringLiteral("Вернуть отменённое (Ctrl+Shift+Z, Ctrl+Y)"),
                             ui::twipsRect(1860, 4200, 1635, 495));
    // A dialog always shows one button as its default; left to itself it takes «Новая единица».
    ok->setDefault(true);

    for (QWidget* field : std::initializer_list<QWidget*>{m_categoryList, m_unitList, m_nameEdit,
                                                          m_coefficientEdit, m_descEdit})
        ui::setColours(field, ui::kFieldBack, ui::kFieldText);
    m_descEdit->setTabChangesFocus(true);
    clearBoxes();
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->installEventFilter(this);

    connect(m_categoryList, &QComboBox::currentIndexChanged, this, &DatabaseEditor::categoryChosen);
    connect(m_unitList, &QListWidget::currentRowChanged, this, &DatabaseEditor::unitChosen);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &DatabaseEditor::nameEdited);
    connect(m_coefficientEdit, &QLineEdit::textEdited, this, &DatabaseEditor::coefficientEdited);
    connect(m_descEdit, &FlatTextEdit::textChanged, this, &DatabaseEditor::descChanged);
    connect(newUnitButton, &QPushButton::clicked, this, &DatabaseEditor::newUnit);
    connect(newCategoryButton, &QPushButton::clicked, this, &DatabaseEditor::newCategory);
    connect(ok, &QPushButton::clicked, this, &DatabaseEditor::confirm);
    connect(m_deleteUnitButton, &QPushButton::clicked, this, &DatabaseEditor::deleteUnit);
    connect(m_deleteCategoryButton, &QPushButton::clicked, this, &DatabaseEditor::deleteCategory);
    const auto undo = [this] { takeStep(&unitdb::UnitDatabase::undo); };
    const auto redo = [this] { takeStep(&unitdb::UnitDatabase::redo); };
    connect(m_undoButton, &QPushButton::clicked, this, undo);
    connect(m_redoButton, &QPushButton::clicked, this, redo);
    for (const QKeySequence& keys : kUndoKeys)
        connect(new QShortcut(keys, this), &QShortcut::activated, this, undo);
    for (const QKeySequence& keys : kRedoKeys)
        connect(new QShortcut(keys, this), &QShortcut::activated, this, redo);

    // Read aloud: the captions name their boxes and a refusal line is tied to its box.
    const std::pair<const char*, QWidget*> buddies[] = {{"Label1", m_nameEdit},
                                                        {"Label2", m_coefficientEdit},
                                                        {"Label3", m_descEdit},
                                                        {"NameReason", m_nameEdit},
                                                        {"KoefReason", m_coefficientEdit}};
    for (const auto& [label, box] : buddies)
        if (auto* caption = findChild<QLabel*>(QLatin1String(label)))
            caption->setBuddy(box);
    ui::nameList(m_categoryList, QStringLiteral("Категория"));
    m_unitList->setAccessibleName(QStringLiteral("Единицы категории"));
    newUnitButton->setAccessibleName(QStringLiteral("Новая единица"));
    newCategoryButton->setAccessibleName(QStringLiteral("Новая категория"));
}

void DatabaseEditor::listCategories()
{
    QStringList names;
    for (const unitdb::Quantity& quantity : m_db.quantities())
        names << qs(quantity.name);
    QStringList listed;
    for (int i = 0; i < m_categoryList->count(); ++i)
        listed << m_categoryList->itemText(i);
    if (names == listed)
        return;
    // Quietly, keeping the category chosen: its units and boxes stay as they are.
    const int chosen = m_categoryList->currentIndex();
    {
        const QSignalBlocker block(m_categoryList);
        m_categoryList->clear();
        m_categoryList->addItems(names);
        m_categoryList->setCurrentIndex(chosen < names.size() ? chosen : -1);
    }
    if (chosen >= names.size()) {
        // The database lost that category: nothing of it is left to store.
        m_shownUnit = -1;
        categoryChosen();
    }
}

void DatabaseEditor::showEvent(QShowEvent* event)
{
    listCategories();
    HandBackDialog::showEvent(event);
}

void DatabaseEditor::selectCategory(int index)
{
    listCategories();
    if (m_categoryList->currentIndex() == index)
        categoryChosen(); // Qt stays silent for an unchanged selection
    else
        m_categoryList->setCurrentIndex(index);
}

void DatabaseEditor::selectUnit(int slot)
{
    if (m_unitList->currentRow() == slot)
        unitChosen();
    else
        m_unitList->setCurrentRow(slot);
}

unitdb::Place DatabaseEditor::chosenUnit() const
{
    unitdb::Place chosen;
    if (const int c = m_categoryList->currentIndex(); c >= 0)
        chosen.quantity = at(c);
    if (m_shownUnit >= 0)
        chosen.slot = at(m_shownUnit);
    return chosen;
}

void DatabaseEditor::categoryChosen()
{
    commitBoxes();
    m_shownUnit = -1;
    m_shownCategory = m_categoryList->currentIndex();
    const int c = m_shownCategory;
    {
        const QSignalBlocker block(m_unitList);
        m_unitList->clear();
        if (c >= 0)
            for (const unitdb::Unit& unit : m_db[at(c)].units)
                m_unitList->addItem(qs(unit.name));
        m_unitList->setCurrentRow(-1);
    }
    clearBoxes();
}

void DatabaseEditor::unitChosen()
{
    commitBoxes();
    m_shownUnit = -1;
    const int c = m_categoryList->currentIndex();
    const int u = m_unitList->currentRow();
    if (c < 0 || u < 0) {
        clearBoxes();
        return;
    }
    const unitdb::Unit& unit = m_db.unit(at(c), at(u));
    m_nameEdit->setText(qs(unit.name));
    m_coefficientEdit->setText(qs(calc::numberText(unit.coefficient, ui::decimalSeparator())));
    m_descKept = qs(unit.description.text());
    m_descEdit->setText(m_descKept);
    showReason(m_nameEdit, m_nameReason, {});
    showReason(m_coefficientEdit, m_coefficientReason, {});
    m_shownCategory = c;
    m_shownUnit = u;
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->setEnabled(true);
    updateButtons();
}

void DatabaseEditor::clearBoxes()
{
    // They show no unit now, so clearing them stores nothing.
    assert(m_shownUnit < 0);
    m_nameEdit->clear();
    m_coefficientEdit->clear();
    m_descEdit->clear();
    showReason(m_nameEdit, m_nameReason, {});
    showReason(m_coefficientEdit, m_coefficientReason, {});
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->setEnabled(false);
}

void DatabaseEditor::updateButtons()
{
    m_deleteUnitButton->setEnabled(m_shownUnit >= 0);
    m_deleteCategoryButton->setEnabled(m_categoryList->currentIndex() >= 0);
    // A refused text in a box is taken back first.
    m_undoButton->setEnabled(m_db.canUndo() || !m_nameReason->isHidden() ||
                             !m_coefficientReason->isHidden());
    m_redoButton->setEnabled(m_db.canRedo());
}

void DatabaseEditor::showReason(QLineEdit* box, QLabel* line, const QString& why)
{
    box->setStyleSheet(why.isEmpty() ? QString()
                                     : QStringLiteral("QLineEdit { border: 1px solid #FF0000; }"));
    line->setToolTip(why);
    box->setAccessibleDescription(why); // said on the box, where the user is typing
    line->setText(line->fontMetrics().elidedText(why, Qt::ElideRight, line->width()));
    line->setVisible(!why.isEmpty());
    updateButtons();
}

void DatabaseEditor::refuse(const QString& why)
{
    m_msg.show(this, why, QStringLiteral("Ошибка"), MsgIcon::Exclamation);
}

bool DatabaseEditor::ask(const QString& question)
{
    return m_msg.message(this, question, ui::programTitle(), MsgIcon::Question,
                         MsgButtons::YesNo) == MsgAnswer::Yes;
}

void DatabaseEditor::nameEdited()
{
    if (m_shownUnit < 0)
        return;
    // Shown while typing, so the user sees it before leaving the box; applied on commit.
    const std::string text = flattened(m_nameEdit->text()).toStdString();
    const auto check = m_db.checkUnitName(at(m_shownCategory), at(m_shownUnit), text);
    const bool unchanged = text == m_db.unit(at(m_shownCategory), at(m_shownUnit)).name;
    showReason(m_nameEdit, m_nameReason, unchanged || check.ok() ? QString() : editRefusal(check));
}

void DatabaseEditor::coefficientEdited()
{
    const QString text = m_coefficientEdit->text();
    if (const QString plain = ui::qs(convmodel::plainSigns(ui::utf8(text))); plain != text) {
        const int caret = m_coefficientEdit->cursorPosition();
        m_coefficientEdit->setText(plain);
        m_coefficientEdit->setCursorPosition(caret);
    }
    showReason(m_coefficientEdit, m_coefficientReason, {});
}

bool DatabaseEditor::commitBoxes()
{
    const QString name = commitName();
    const QString coefficient = commitCoefficient();
    commitDescription();
    return name.isEmpty() && coefficient.isEmpty();
}

QString DatabaseEditor::commitName()
{
    if (m_shownUnit < 0)
        return {};
    const QString text = flattened(m_nameEdit->text());
    const auto renamed = m_db.renameUnit(at(m_shownCategory), at(m_shownUnit), text.toStdString());
    const QString why = renamed.ok() ? QString() : editRefusal(renamed);
    if (renamed.ok())
        m_unitList->item(m_shownUnit)->setText(text);
    showReason(m_nameEdit, m_nameReason, why);
    return why;
}

QString DatabaseEditor::commitCoefficient()
{
    if (m_shownUnit < 0)
        return {};
    const auto c = at(m_shownCategory);
    const auto u = at(m_shownUnit);
    const char separator = ui::decimalSeparator();
    const QString text = m_coefficientEdit->text();
    if (text == qs(calc::numberText(m_db.unit(c, u).coefficient, separator)))
        return {};
    QString why;
    // The calculator reads a word as 0; that is no number, not a number too small.
    if (!calc::isExpression(text.toStdString())) {
        why = editRefusal({unitdb::ErrorCode::BadCoefficient, {}});
    } else {
        // Full precision: the display rounding would turn 1E-10 into 0.
        const auto result = calc::evaluate(text.toStdString(), calc::CalcOptions{});
        if (const auto* failure = std::get_if<calc::CalcFailure>(&result))
            why = calcErrorText(failure->code);
        else if (std::holds_alternative<calc::Unevaluated>(result))
            why = QStringLiteral("Не хватает скобки «)».");
        else if (const auto set = m_db.setCoefficient(c, u, std::get<double>(result)); !set.ok())
            why = editRefusal(set);
    }
    if (why.isEmpty())
        m_coefficientEdit->setText(qs(calc::numberText(m_db.unit(c, u).coefficient, separator)));
    showReason(m_coefficientEdit, m_coefficientReason, why);
    return why;
}

void DatabaseEditor::commitDescription()
{
    if (m_shownUnit < 0)
        return;
    // The box keeps only text the file can hold, so this is never refused.
    [[maybe_unused]] const auto set =
        m_db.setDescription(at(m_shownCategory), at(m_shownUnit), m_descEdit->text().toStdString());
    assert(set.ok());
    updateButtons();
}

void DatabaseEditor::descChanged()
{
    if (m_shownUnit < 0)
        return;
    const QString raw = m_descEdit->text();
    const QString text = flattened(raw);
    if (text != raw) {
        const int caret = m_descEdit->textCursor().position();
        m_descEdit->setText(text); // runs this handler again with the flat text
        QTextCursor cursor = m_descEdit->textCursor();
        cursor.setPosition(std::min(caret, static_cast<int>(text.size())));
        m_descEdit->setTextCursor(cursor);
        return;
    }
    const auto check =
        unitdb::checkText(text.toStdString(), unitdb::TextField::Description, m_db.encoding());
    if (check.ok()) {
        m_descKept = text;
        return;
    }
    m_descEdit->setText(m_descKept);
    m_descEdit->moveCursor(QTextCursor::End);
    refuse(check.code == unitdb::ErrorCode::Unencodable
               ? QStringLiteral("Символ «%1» не может быть сохранён в Base.dat.")
                     .arg(QString::fromUcs4(&check.character, 1))
               : textRefusal(check));
}

void DatabaseEditor::newUnit()
{
    const int c = m_categoryList->currentIndex();
    if (c < 0)
        return;
    commitBoxes(); // before the new unit is counted, so a duplicate check sees the old list
    if (const auto added = m_db.addUnit(at(c)); !added.ok()) {
        refuse(editRefusal(added));
        return;
    }
    m_unitList->addItem(QString());
    selectUnit(m_unitList->count() - 1);
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void DatabaseEditor::newCategory()
{
    // Said before the question, not after the user has typed a name.
    if (m_db.size() >= unitdb::kMaxQuantities) {
        refuse(editRefusal({unitdb::ErrorCode::TooManyCategories, {}}));
        return;
    }
    commitBoxes();
    const auto answer =
        m_msg.inputBox(this, QStringLiteral("Введите новую категорию единиц измерения."),
                       ui::programTitle(), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = flattened(*answer);
    if (const auto added = m_db.addQuantity(name.toStdString()); !added.ok()) {
        refuse(QStringLiteral("Категория «%1» не добавлена: %2")
                   .arg(name, editRefusal(added, EditedName::Quantity)));
        return;
    }
    // It comes with its first unit, nameless, waiting for its name.
    showPlace(unitdb::Place{m_db.size() - 1, 0});
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void DatabaseEditor::deleteUnit()
{
    if (m_shownUnit < 0)
        return;
    commitBoxes();
    const auto c = at(m_shownCategory);
    const auto u = at(m_shownUnit);
    if (const auto why = m_db.checkUnitDeletion(c); !why.ok()) {
        refuse(editRefusal(why));
        return;
    }
    if (!ask(deleteUnitQuestion(qs(m_db.unit(c, u).name))))
        return;
    m_shownUnit = -1; // the boxes' unit is gone
    m_db.deleteUnit(c, u);
    showPlace(unitdb::Place{c, std::nullopt});
}

void DatabaseEditor::deleteCategory()
{
    const int c = m_categoryList->currentIndex();
    if (c < 0)
        return;
    commitBoxes();
    if (const auto why = m_db.checkQuantityDeletion(); !why.ok()) {
        refuse(editRefusal(why));
        return;
    }
    if (!ask(deleteQuantityQuestion(qs(m_db[at(c)].name))))
        return;
    m_shownUnit = -1;
    m_db.deleteQuantity(at(c));
    showPlace(unitdb::Place{std::min(at(c), m_db.size() - 1), std::nullopt});
}

void DatabaseEditor::takeStep(std::optional<unitdb::Place> (unitdb::UnitDatabase::*step)())
{
    // Typing is stored first, so that undo takes it back as a step and redo finds nothing left
    // to make again; a text that cannot be stored is only dropped.
    if (!commitBoxes()) {
        m_shownUnit = -1;
        unitChosen();
        return;
    }
    showPlace((m_db.*step)());
}

void DatabaseEditor::showPlace(const std::optional<unitdb::Place>& place)
{
    if (!place)
        return;
    // The boxes show the database as it was: nothing in them is to be stored.
    m_shownUnit = -1;
    selectCategory(place->quantity ? static_cast<int>(*place->quantity) : -1);
    if (place->slot)
        selectUnit(static_cast<int>(*place->slot));
}

void DatabaseEditor::confirm()
{
    const QString name = commitName();
    const QString coefficient = commitCoefficient();
    commitDescription();
    // Leaving would drop the refused text without a word: say so, and stay.
    if (!name.isEmpty() || !coefficient.isEmpty()) {
        refuse(name.isEmpty() ? unstoredBoxText(EditorBox::Coefficient, coefficient)
                              : unstoredBoxText(EditorBox::Name, name));
        (name.isEmpty() ? m_coefficientEdit : m_nameEdit)->setFocus(Qt::OtherFocusReason);
        return;
    }
    hide();
    emit handedBack();
}

bool DatabaseEditor::eventFilter(QObject* watched, QEvent* event)
{
    const bool isName = watched == m_nameEdit;
    const bool isDesc = watched == m_descEdit;
    if (!isName && !isDesc && watched != m_coefficientEdit)
        return HandBackDialog::eventFilter(watched, event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Left unclaimed, so that the editor's shortcuts take them and not the box's own undo.
        const QKeySequence keys(static_cast<QKeyEvent*>(event)->keyCombination());
        if (std::ranges::count(kUndoKeys, keys) + std::ranges::count(kRedoKeys, keys) > 0) {
            event->ignore();
            return true;
        }
    }
    const auto commit = [&] {
        if (isDesc)
            commitDescription();
        else
            isName ? commitName() : commitCoefficient();
    };
    if (event->type() == QEvent::KeyPress && !isDesc) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            commit();
            return true;
        }
    }
    // A context menu takes the focus for a moment; the user has not left the box.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        commit();
    return HandBackDialog::eventFilter(watched, event);
}
