// The editor's controls and their commits: a field is checked when it is committed, and a
// refusal is shown in place so that the user can go on typing to fix it.
#include "dialogs/databaseeditor.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "convmodel/inputtext.h"
#include "dialogs/access.h"
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
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

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

// The file keeps one line a field: line breaks typed or pasted become blanks.
QString flattened(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QChar::ParagraphSeparator, QLatin1Char(' '));
    text.replace(QChar::LineSeparator, QLatin1Char(' '));
    return text;
}

// "больше 51 раздела", "больше 101 единицы", "больше 52 разделов".
QString moreThan(std::size_t count, const QString& oneOf, const QString& manyOf)
{
    const bool singular = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("больше %1 %2").arg(count).arg(singular ? oneOf : manyOf);
}

enum class NameKind { Unit, Category };

// Why the database refused an edit, in the editor's words.
QString refusal(const unitdb::EditResult& result, NameKind kind = NameKind::Unit)
{
    using unitdb::ErrorCode;
    switch (result.code) {
    case ErrorCode::DuplicateName:
        return kind == NameKind::Unit ? QStringLiteral("Такая единица уже есть.")
                                      : QStringLiteral("Такая категория уже есть.");
    case ErrorCode::TooManyUnits:
        return QStringLiteral("В разделе не может быть %1.")
            .arg(moreThan(unitdb::kMaxUnits, QStringLiteral("единицы"), QStringLiteral("единиц")));
    case ErrorCode::TooManyCategories:
        return QStringLiteral("В базе не может быть %1.")
            .arg(moreThan(unitdb::kMaxQuantities, QStringLiteral("раздела"),
                          QStringLiteral("разделов")));
    case ErrorCode::BadCoefficient:
    case ErrorCode::NotPositive:
    case ErrorCode::OutOfRange:
        return QStringLiteral("Нужно число больше нуля.");
    default:
        return textRefusal(result.text);
    }
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
    setFixedSize(ui::twips(7305), ui::twips(4155));

    m_categoryList = place(new QComboBox(this), "Combo1", ui::twipsRect(120, 120, 3375, 315));
    m_unitList = place(new QListWidget(this), "List1", ui::twipsRect(120, 480, 3375, 3570));
    addLabel(this, "Label1", QStringLiteral("Наименование физической единицы"),
             ui::twipsRect(3600, 120, 3240, 195));
    m_nameEdit = place(new QLineEdit(this), "NameEdit", ui::twipsRect(3600, 360, 3615, 285));
    addLabel(this, "Label2", QStringLiteral("Коэффициент"), ui::twipsRect(3600, 720, 1215, 195));
    m_coefficientEdit = place(new QLineEdit(this), "KoefEdit", ui::twipsRect(3600, 960, 3615, 285));
    addLabel(this, "Label3", QStringLiteral("Описание"), ui::twipsRect(3600, 1320, 855, 195));
    m_descEdit = place(new QPlainTextEdit(this), "DescEdit", ui::twipsRect(3600, 1560, 3615, 1965));
    // A refusal is shown on the line under its box, over that line's caption while it lasts.
    m_nameReason = addLabel(this, "NameReason", {}, ui::twipsRect(3600, 720, 3615, 195));
    m_coefficientReason = addLabel(this, "KoefReason", {}, ui::twipsRect(3600, 1320, 3615, 195));
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
    // A dialog always shows one button as its default; left to itself it takes «Новая единица».
    ok->setDefault(true);

    for (QWidget* field : std::initializer_list<QWidget*>{m_categoryList, m_unitList, m_nameEdit,
                                                          m_coefficientEdit, m_descEdit})
        ui::setColours(field, ui::kFieldBack, ui::kFieldText);
    m_descEdit->setTabChangesFocus(true);
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->setEnabled(false);
    m_nameEdit->installEventFilter(this);
    m_coefficientEdit->installEventFilter(this);

    connect(m_categoryList, &QComboBox::currentIndexChanged, this, &DatabaseEditor::categoryChosen);
    connect(m_unitList, &QListWidget::currentRowChanged, this, &DatabaseEditor::unitChosen);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &DatabaseEditor::nameEdited);
    connect(m_coefficientEdit, &QLineEdit::textEdited, this, &DatabaseEditor::coefficientEdited);
    connect(m_descEdit, &QPlainTextEdit::textChanged, this, &DatabaseEditor::descChanged);
    connect(newUnitButton, &QPushButton::clicked, this, &DatabaseEditor::newUnit);
    connect(newCategoryButton, &QPushButton::clicked, this, &DatabaseEditor::newCategory);
    connect(ok, &QPushButton::clicked, this, &DatabaseEditor::confirm);

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
    // No unit is shown now, so clearing the boxes stores nothing.
    m_nameEdit->clear();
    m_coefficientEdit->clear();
    m_descEdit->clear();
    showReason(m_nameEdit, m_nameReason, {});
    showReason(m_coefficientEdit, m_coefficientReason, {});
}

void DatabaseEditor::unitChosen()
{
    commitBoxes();
    m_shownUnit = -1;
    const int c = m_categoryList->currentIndex();
    const int u = m_unitList->currentRow();
    if (c < 0 || u < 0)
        return;
    const unitdb::Unit& unit = m_db.unit(at(c), at(u));
    m_nameEdit->setText(qs(unit.name));
    m_coefficientEdit->setText(qs(calc::numberText(unit.coefficient, ui::decimalSeparator())));
    m_descEdit->setPlainText(qs(unit.description));
    showReason(m_nameEdit, m_nameReason, {});
    showReason(m_coefficientEdit, m_coefficientReason, {});
    m_shownCategory = c;
    m_shownUnit = u;
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->setEnabled(true);
}

void DatabaseEditor::showReason(QLineEdit* box, QLabel* line, const QString& why)
{
    box->setStyleSheet(why.isEmpty() ? QString()
                                     : QStringLiteral("QLineEdit { border: 1px solid #FF0000; }"));
    line->setToolTip(why);
    box->setAccessibleDescription(why); // said on the box, where the user is typing
    line->setText(line->fontMetrics().elidedText(why, Qt::ElideRight, line->width()));
    line->setVisible(!why.isEmpty());
}

void DatabaseEditor::refuse(const QString& why)
{
    m_msg.show(this, why, QStringLiteral("Ошибка"), MsgIcon::Exclamation);
}

void DatabaseEditor::nameEdited()
{
    if (m_shownUnit < 0)
        return;
    // Shown while typing, so the user sees it before leaving the box; applied on commit.
    const std::string text = flattened(m_nameEdit->text()).toStdString();
    const auto check = m_db.checkUnitName(at(m_shownCategory), at(m_shownUnit), text);
    const bool unchanged = text == m_db.unit(at(m_shownCategory), at(m_shownUnit)).name;
    showReason(m_nameEdit, m_nameReason, unchanged || check.ok() ? QString() : refusal(check));
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

void DatabaseEditor::commitBoxes()
{
    commitName();
    commitCoefficient();
}

void DatabaseEditor::commitName()
{
    if (m_shownUnit < 0)
        return;
    const QString text = flattened(m_nameEdit->text());
    const auto renamed = m_db.renameUnit(at(m_shownCategory), at(m_shownUnit), text.toStdString());
    showReason(m_nameEdit, m_nameReason, renamed.ok() ? QString() : refusal(renamed));
    if (renamed.ok())
        m_unitList->item(m_shownUnit)->setText(text);
}

void DatabaseEditor::commitCoefficient()
{
    if (m_shownUnit < 0)
        return;
    const auto c = at(m_shownCategory);
    const auto u = at(m_shownUnit);
    const char separator = ui::decimalSeparator();
    if (m_coefficientEdit->text() == qs(calc::numberText(m_db.unit(c, u).coefficient, separator)))
        return;
    // Full precision: the display rounding would turn 1E-10 into 0.
    const auto result =
        calc::evaluate(m_coefficientEdit->text().toStdString(), calc::CalcOptions{});
    QString why;
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result))
        why = calcErrorText(failure->code);
    else if (std::holds_alternative<calc::Unevaluated>(result))
        why = QStringLiteral("Не хватает скобки «)».");
    else if (const auto set = m_db.setCoefficient(c, u, std::get<double>(result)); !set.ok())
        why = refusal(set);
    showReason(m_coefficientEdit, m_coefficientReason, why);
    if (why.isEmpty())
        m_coefficientEdit->setText(qs(calc::numberText(m_db.unit(c, u).coefficient, separator)));
}

void DatabaseEditor::descChanged()
{
    if (m_shownUnit < 0)
        return;
    const QString raw = m_descEdit->toPlainText();
    const QString text = flattened(raw);
    if (text != raw) {
        const int caret = m_descEdit->textCursor().position();
        m_descEdit->setPlainText(text); // runs this handler again with the flat text
        QTextCursor cursor = m_descEdit->textCursor();
        cursor.setPosition(std::min(caret, static_cast<int>(text.size())));
        m_descEdit->setTextCursor(cursor);
        return;
    }
    const auto c = at(m_shownCategory);
    const auto u = at(m_shownUnit);
    const auto set = m_db.setDescription(c, u, text.toStdString());
    if (set.ok())
        return;
    m_descEdit->setPlainText(qs(m_db.unit(c, u).description));
    m_descEdit->moveCursor(QTextCursor::End);
    refuse(set.code == unitdb::ErrorCode::Unencodable
               ? QStringLiteral("Символ «%1» не может быть сохранён в Base.dat.")
                     .arg(QString::fromUcs4(&set.text.character, 1))
               : refusal(set));
}

void DatabaseEditor::newUnit()
{
    const int c = m_categoryList->currentIndex();
    if (c < 0)
        return;
    commitBoxes(); // before the new unit is counted, so a duplicate check sees the old list
    if (const auto added = m_db.addUnit(at(c)); !added.ok()) {
        refuse(refusal(added));
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
        refuse(refusal({unitdb::ErrorCode::TooManyCategories, {}}));
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
                   .arg(name, refusal(added, NameKind::Category)));
        return;
    }
    selectCategory(static_cast<int>(m_db.size()) - 1); // lists it first
    newUnit();
}

void DatabaseEditor::confirm()
{
    commitBoxes();
    hide();
    emit handedBack();
}

bool DatabaseEditor::eventFilter(QObject* watched, QEvent* event)
{
    const bool isName = watched == m_nameEdit;
    if (!isName && watched != m_coefficientEdit)
        return HandBackDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            isName ? commitName() : commitCoefficient();
            return true;
        }
    }
    // A context menu takes the focus for a moment; the user has not left the box.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        isName ? commitName() : commitCoefficient();
    return HandBackDialog::eventFilter(watched, event);
}
