// The editor's controls and their commits: a field is checked when it is committed, and a
// refusal is shown in place so that the user can go on typing to fix it.
#include "dialogs/databaseeditor.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "dialogs/calcmessages.h"
#include "dialogs/messenger.h"
#include "dialogs/typography.h"
#include "dialogs/uistyle.h"
#include "unitdb/coefficient.h"
#include "unitdb/cp1251.h"
#include "unitdb/unittables.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include <cmath>
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
QString moreThan(int count, const QString& oneOf, const QString& manyOf)
{
    const bool singular = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("больше %1 %2").arg(count).arg(singular ? oneOf : manyOf);
}

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

DatabaseEditor::DatabaseEditor(unitdb::UnitTables& tables, Messenger& messenger, QWidget* parent)
    : QWidget(parent, Qt::Window), m_tables(tables), m_msg(messenger)
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
}

void DatabaseEditor::addCategory(const QString& name)
{
    // Qt would select the first category on its own; start-up selects it explicitly.
    const QSignalBlocker block(m_categoryList);
    m_categoryList->addItem(name);
    m_categoryList->setCurrentIndex(-1);
}

void DatabaseEditor::selectCategory(int index)
{
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
            for (int s = 0; s < m_tables.unitCount[at(c)]; ++s)
                m_unitList->addItem(qs(m_tables.unitNames[at(c)][at(s)]));
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
    m_nameEdit->setText(qs(m_tables.unitNames[at(c)][at(u)]));
    m_coefficientEdit->setText(
        qs(calc::numberText(m_tables.coefficients[at(c)][at(u)], ui::decimalSeparator())));
    m_descEdit->setPlainText(qs(m_tables.descriptions[at(c)][at(u)]));
    showReason(m_nameEdit, m_nameReason, {});
    showReason(m_coefficientEdit, m_coefficientReason, {});
    m_shownCategory = c;
    m_shownUnit = u;
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_coefficientEdit, m_descEdit})
        edit->setEnabled(true);
}

QString DatabaseEditor::refusal(const QString& text, NameKind kind) const
{
    // Base.dat cannot hold these; refused here so that every save reads back the same.
    if (text.contains(QLatin1Char(',')))
        return QStringLiteral("Запятая недопустима.");
    if (text.startsWith(QLatin1Char(' ')) || text.startsWith(QLatin1Char('\t')))
        return QStringLiteral("Пробел в начале недопустим.");
    if (text.startsWith(QLatin1Char('"')))
        return QStringLiteral("Кавычка в начале недопустима.");
    if (kind == NameKind::Unit && text.trimmed() == QStringLiteral("*"))
        return QStringLiteral("Имя «*» недопустимо.");
    const auto encoded = unitdb::encodeCp1251(text.toStdString());
    if (!encoded.ok()) {
        const char32_t cp = encoded.character;
        return QStringLiteral("Символ «%1» недопустим.").arg(QString::fromUcs4(&cp, 1));
    }
    // Lists and the main window find a unit or a category by its name: a second one of
    // the same name would hide the first.
    const std::string name = text.toStdString();
    if (kind == NameKind::Category) {
        for (int c = 0; c < m_tables.categoryCount; ++c)
            if (m_tables.categoryNames[at(c)] == name)
                return QStringLiteral("Такая категория уже есть.");
    } else {
        const int c = m_shownCategory;
        for (int s = 0; s < m_tables.unitCount[at(c)]; ++s)
            if (s != m_shownUnit && m_tables.unitNames[at(c)][at(s)] == name)
                return QStringLiteral("Такая единица уже есть.");
    }
    return {};
}

void DatabaseEditor::showReason(QLineEdit* box, QLabel* line, const QString& why)
{
    box->setStyleSheet(why.isEmpty() ? QString()
                                     : QStringLiteral("QLineEdit { border: 1px solid #FF0000; }"));
    line->setToolTip(why);
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
    const QString text = flattened(m_nameEdit->text());
    const bool unchanged =
        text.toStdString() == m_tables.unitNames[at(m_shownCategory)][at(m_shownUnit)];
    showReason(m_nameEdit, m_nameReason, unchanged ? QString() : refusal(text, NameKind::Unit));
}

void DatabaseEditor::coefficientEdited()
{
    const QString text = m_coefficientEdit->text();
    if (const QString plain = plainOperators(text); plain != text) {
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
    std::string& stored = m_tables.unitNames[at(m_shownCategory)][at(m_shownUnit)];
    const QString text = flattened(m_nameEdit->text());
    if (stored == text.toStdString())
        return;
    const QString why = refusal(text, NameKind::Unit);
    showReason(m_nameEdit, m_nameReason, why);
    if (!why.isEmpty())
        return;
    m_tables.changed = true;
    stored = text.toStdString();
    m_unitList->item(m_shownUnit)->setText(text);
}

void DatabaseEditor::commitCoefficient()
{
    if (m_shownUnit < 0)
        return;
    double& stored = m_tables.coefficients[at(m_shownCategory)][at(m_shownUnit)];
    const char separator = ui::decimalSeparator();
    if (m_coefficientEdit->text() == qs(calc::numberText(stored, separator)))
        return;
    // Full precision: the display rounding would turn 1E-10 into 0.
    const auto result =
        calc::evaluate(m_coefficientEdit->text().toStdString(), calc::CalcOptions{});
    QString why;
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result))
        why = calcErrorText(failure->code);
    else if (std::holds_alternative<calc::Unevaluated>(result))
        why = QStringLiteral("Не хватает скобки «)».");
    else if (unitdb::checkCoefficient(std::get<double>(result)) != unitdb::ErrorCode::None)
        why = QStringLiteral("Нужно число больше нуля.");
    showReason(m_coefficientEdit, m_coefficientReason, why);
    if (!why.isEmpty())
        return;
    const double value = std::get<double>(result);
    if (value != stored) {
        m_tables.changed = true;
        stored = value;
    }
    m_coefficientEdit->setText(qs(calc::numberText(stored, separator)));
}

void DatabaseEditor::descChanged()
{
    if (m_shownUnit < 0)
        return;
    std::string& stored = m_tables.descriptions[at(m_shownCategory)][at(m_shownUnit)];
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
    if (stored == text.toStdString())
        return;
    const auto encoded = unitdb::encodeCp1251(text.toStdString());
    if (!encoded.ok()) {
        m_descEdit->setPlainText(qs(stored));
        m_descEdit->moveCursor(QTextCursor::End);
        const char32_t cp = encoded.character;
        refuse(QStringLiteral("Символ «%1» не может быть сохранён в Base.dat.")
                   .arg(QString::fromUcs4(&cp, 1)));
        return;
    }
    m_tables.changed = true;
    stored = text.toStdString();
}

void DatabaseEditor::newUnit()
{
    const int c = m_categoryList->currentIndex();
    if (c < 0)
        return;
    int& count = m_tables.unitCount[at(c)];
    if (count >= unitdb::kMaxUnits) {
        refuse(QStringLiteral("В разделе не может быть %1.")
                   .arg(moreThan(unitdb::kMaxUnits, QStringLiteral("единицы"),
                                 QStringLiteral("единиц"))));
        return;
    }
    commitBoxes(); // before the new slot is counted, so a duplicate check sees the old list
    m_tables.changed = true;
    const auto n = at(count);
    ++count;
    m_tables.unitNames[at(c)][n].clear();
    m_tables.coefficients[at(c)][n] = 1.0;
    m_tables.descriptions[at(c)][n].clear();
    m_unitList->addItem(QString());
    selectUnit(count - 1);
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void DatabaseEditor::newCategory()
{
    if (m_tables.categoryCount >= unitdb::kMaxCategories) {
        refuse(QStringLiteral("В базе не может быть %1.")
                   .arg(moreThan(unitdb::kMaxCategories, QStringLiteral("раздела"),
                                 QStringLiteral("разделов"))));
        return;
    }
    commitBoxes();
    const auto answer =
        m_msg.inputBox(this, QStringLiteral("Введите новую категорию единиц измерения."),
                       ui::programTitle(), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = flattened(*answer);
    if (const QString why = refusal(name, NameKind::Category); !why.isEmpty()) {
        refuse(QStringLiteral("Категория «%1» не добавлена: %2").arg(name, why));
        return;
    }
    m_tables.changed = true;
    const int c = m_tables.categoryCount;
    m_tables.categoryNames[at(c)] = name.toStdString();
    m_tables.unitCount[at(c)] = 0;
    {
        const QSignalBlocker block(m_categoryList);
        m_categoryList->addItem(name);
    }
    selectCategory(c);
    m_tables.categoryCount = c + 1;
    newUnit();
}

void DatabaseEditor::confirm()
{
    commitBoxes();
    hide();
    emit handedBack();
}

void DatabaseEditor::closeEvent(QCloseEvent* event)
{
    // The close button does what "ОК" does, so the main window is never left disabled.
    event->ignore();
    confirm();
}

bool DatabaseEditor::eventFilter(QObject* watched, QEvent* event)
{
    const bool isName = watched == m_nameEdit;
    if (!isName && watched != m_coefficientEdit)
        return QWidget::eventFilter(watched, event);
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
    return QWidget::eventFilter(watched, event);
}
