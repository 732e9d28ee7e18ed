#include "dialogs/databaseeditor.h"

#include "calc/numbertext.h"
#include "dialogs/calcmessages.h"
#include "dialogs/messenger.h"
#include "dialogs/uistyle.h"
#include "unitdb/cp1251.h"
#include "unitdb/unittables.h"

#include <QCloseEvent>
#include <QComboBox>
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

} // namespace

DatabaseEditor::DatabaseEditor(unitdb::UnitTables& tables, Messenger& messenger,
                               std::function<calc::CalcOptions()> calcOptions, QWidget* parent)
    : QWidget(parent, Qt::Window), m_tables(tables), m_msg(messenger),
      m_calcOptions(std::move(calcOptions))
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Метрованта - Редактор базы данных"));
    setFont(ui::programFont());
    setFixedSize(ui::twips(7305), ui::twips(4155));

    m_combo1 = place(new QComboBox(this), "Combo1", ui::twipsRect(120, 120, 3375, 315));
    m_list1 = place(new QListWidget(this), "List1", ui::twipsRect(120, 480, 3375, 3570));
    addLabel(this, "Label1", QStringLiteral("Наименование физической единицы"),
             ui::twipsRect(3600, 120, 3240, 195));
    m_nameEdit = place(new QLineEdit(this), "NameEdit", ui::twipsRect(3600, 360, 3615, 285));
    addLabel(this, "Label2", QStringLiteral("Коэффициент"), ui::twipsRect(3600, 720, 1215, 195));
    m_koefEdit = place(new QLineEdit(this), "KoefEdit", ui::twipsRect(3600, 960, 3615, 285));
    addLabel(this, "Label3", QStringLiteral("Описание"), ui::twipsRect(3600, 1320, 855, 195));
    m_descEdit = place(new QPlainTextEdit(this), "DescEdit", ui::twipsRect(3600, 1560, 3615, 1965));
    // The captions wrap onto two lines, as the narrow buttons need.
    auto* newUnitButton = place(new QPushButton(QStringLiteral("Новая\nединица"), this), "Command2",
                                ui::twipsRect(3600, 3600, 1095, 495));
    auto* newCategoryButton = place(new QPushButton(QStringLiteral("Новая\nкатегория"), this),
                                    "Command3", ui::twipsRect(4680, 3600, 1095, 495));
    auto* ok = place(new QPushButton(QStringLiteral("ОК"), this), "Command1",
                     ui::twipsRect(5880, 3600, 1335, 495));

    for (QWidget* field :
         std::initializer_list<QWidget*>{m_combo1, m_list1, m_nameEdit, m_koefEdit, m_descEdit})
        ui::setColours(field, ui::kFieldBack, ui::kFieldText);
    m_descEdit->setTabChangesFocus(true);
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_koefEdit, m_descEdit})
        edit->setEnabled(false);
    m_koefEdit->installEventFilter(this);

    connect(m_combo1, &QComboBox::currentIndexChanged, this, &DatabaseEditor::categoryChosen);
    connect(m_list1, &QListWidget::currentRowChanged, this, &DatabaseEditor::unitChosen);
    connect(m_nameEdit, &QLineEdit::textChanged, this, &DatabaseEditor::nameChanged);
    connect(m_koefEdit, &QLineEdit::textChanged, this, &DatabaseEditor::koefChanged);
    connect(m_descEdit, &QPlainTextEdit::textChanged, this, &DatabaseEditor::descChanged);
    connect(newUnitButton, &QPushButton::clicked, this, &DatabaseEditor::newUnit);
    connect(newCategoryButton, &QPushButton::clicked, this, &DatabaseEditor::newCategory);
    connect(ok, &QPushButton::clicked, this, &DatabaseEditor::confirm);
}

int DatabaseEditor::category() const
{
    return m_combo1->currentIndex();
}
int DatabaseEditor::unit() const
{
    return m_list1->currentRow();
}

void DatabaseEditor::addCategory(const QString& name)
{
    // Qt would select the first category on its own; start-up selects it explicitly.
    const QSignalBlocker block(m_combo1);
    m_combo1->addItem(name);
    m_combo1->setCurrentIndex(-1);
}

void DatabaseEditor::selectCategory(int index)
{
    if (m_combo1->currentIndex() == index)
        categoryChosen(); // Qt stays silent for an unchanged selection
    else
        m_combo1->setCurrentIndex(index);
}

void DatabaseEditor::selectUnit(int slot)
{
    if (m_list1->currentRow() == slot)
        unitChosen();
    else
        m_list1->setCurrentRow(slot);
}

void DatabaseEditor::categoryChosen()
{
    const int c = category();
    {
        const QSignalBlocker block(m_list1);
        m_list1->clear();
        if (c >= 0)
            for (int s = 0; s < m_tables.UnitCount[static_cast<std::size_t>(c)]; ++s)
                m_list1->addItem(qs(
                    m_tables.UnitNames[static_cast<std::size_t>(c)][static_cast<std::size_t>(s)]));
        m_list1->setCurrentRow(-1);
    }
    // No unit is chosen now, so clearing the boxes stores nothing.
    m_nameEdit->clear();
    m_koefEdit->clear();
    m_descEdit->clear();
}

void DatabaseEditor::unitChosen()
{
    const int c = category();
    const int u = unit();
    if (c < 0 || u < 0)
        return;
    const auto cs = static_cast<std::size_t>(c);
    const auto us = static_cast<std::size_t>(u);
    m_nameEdit->setText(m_list1->item(u)->text());
    m_koefEdit->setText(qs(calc::numberText(m_tables.UnitKoef[cs][us], ui::decimalSeparator())));
    m_descEdit->setPlainText(qs(m_tables.UnitDesc[cs][us]));
    for (QWidget* edit : std::initializer_list<QWidget*>{m_nameEdit, m_koefEdit, m_descEdit})
        edit->setEnabled(true);
}

QString DatabaseEditor::refusal(const QString& text, NameKind kind) const
{
    // Base.dat cannot hold these; refused here so that every save reads back the same.
    if (text.contains(QLatin1Char(',')))
        return QStringLiteral("Название не может содержать запятую.");
    if (text.startsWith(QLatin1Char(' ')) || text.startsWith(QLatin1Char('\t')))
        return QStringLiteral("Название не может начинаться с пробела.");
    if (text.startsWith(QLatin1Char('"')))
        return QStringLiteral("Название не может начинаться с кавычки.");
    if (kind == NameKind::Unit && text.trimmed() == QStringLiteral("*"))
        return QStringLiteral("Единица измерения не может называться «*».");
    const auto encoded = unitdb::encodeCp1251(text.toStdString());
    if (!encoded.ok()) {
        const char32_t cp = encoded.character;
        return QStringLiteral("Символ «%1» не может быть сохранён в Base.dat.")
            .arg(QString::fromUcs4(&cp, 1));
    }
    return {};
}

void DatabaseEditor::refuse(const QString& why)
{
    m_msg.show(this, why, QStringLiteral("Ошибка"), MsgIcon::Exclamation);
}

void DatabaseEditor::nameChanged()
{
    const int c = category();
    const int u = unit();
    if (c < 0 || u < 0)
        return;
    std::string& stored =
        m_tables.UnitNames[static_cast<std::size_t>(c)][static_cast<std::size_t>(u)];
    const QString text = flattened(m_nameEdit->text());
    if (stored == text.toStdString())
        return;
    if (const QString why = refusal(text, NameKind::Unit); !why.isEmpty()) {
        const int caret = m_nameEdit->cursorPosition();
        m_nameEdit->setText(qs(stored)); // back to what the tables hold; stores nothing
        m_nameEdit->setCursorPosition(std::max(0, caret - 1));
        refuse(why);
        return;
    }
    m_tables.BaseChanged = true;
    stored = text.toStdString();
    m_list1->item(u)->setText(text);
}

void DatabaseEditor::koefChanged()
{
    const int c = category();
    const int u = unit();
    if (c < 0 || u < 0)
        return;
    double& stored = m_tables.UnitKoef[static_cast<std::size_t>(c)][static_cast<std::size_t>(u)];
    const QString text = m_koefEdit->text();
    if (qs(calc::numberText(stored, ui::decimalSeparator())) == text)
        return;
    QString periods = text;
    periods.replace(QLatin1Char(','), QLatin1Char('.'));
    const double value = calc::readNumber(periods.toStdString());
    if (!std::isfinite(value)) {
        const int caret = m_koefEdit->cursorPosition();
        m_koefEdit->setText(qs(calc::numberText(stored, ui::decimalSeparator())));
        m_koefEdit->setCursorPosition(std::max(0, caret - 1));
        refuse(QStringLiteral("Переполнение! Не используйте числа больше 10^300."));
        return;
    }
    m_tables.BaseChanged = true;
    stored = value;
}

void DatabaseEditor::koefEnter()
{
    if (!m_koefEdit->isEnabled())
        return;
    const auto result = calc::EvalBrackets(m_koefEdit->text().toStdString(), m_calcOptions());
    if (const auto* failure = std::get_if<calc::CalcFailure>(&result)) {
        // The box and the stored coefficient stay as they were.
        m_msg.show(this, calcErrorText(failure->code), QStringLiteral("Ошибка"), MsgIcon::Stop);
        return;
    }
    if (const auto* value = std::get_if<double>(&result))
        m_koefEdit->setText(qs(calc::numberText(*value, ui::decimalSeparator())));
}

void DatabaseEditor::descChanged()
{
    const int c = category();
    const int u = unit();
    if (c < 0 || u < 0)
        return;
    std::string& stored =
        m_tables.UnitDesc[static_cast<std::size_t>(c)][static_cast<std::size_t>(u)];
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
    m_tables.BaseChanged = true;
    stored = text.toStdString();
}

void DatabaseEditor::newUnit()
{
    const int c = category();
    if (c < 0)
        return;
    int& count = m_tables.UnitCount[static_cast<std::size_t>(c)];
    if (count >= unitdb::kMaxUnits) {
        refuse(QStringLiteral("В разделе не может быть больше %1 единиц.").arg(unitdb::kMaxUnits));
        return;
    }
    m_tables.BaseChanged = true;
    const auto cs = static_cast<std::size_t>(c);
    const auto n = static_cast<std::size_t>(count);
    ++count;
    m_tables.UnitNames[cs][n].clear();
    m_tables.UnitKoef[cs][n] = 1.0;
    m_tables.UnitDesc[cs][n].clear();
    m_list1->addItem(QString());
    selectUnit(count - 1);
    m_nameEdit->setFocus(Qt::OtherFocusReason);
}

void DatabaseEditor::newCategory()
{
    if (m_tables.CatCount >= unitdb::kMaxCategories) {
        refuse(
            QStringLiteral("В базе не может быть больше %1 разделов.").arg(unitdb::kMaxCategories));
        return;
    }
    const auto answer =
        m_msg.inputBox(this, QStringLiteral("Введите новую категорию единиц измерения."),
                       ui::programTitle(), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = flattened(*answer);
    if (const QString why = refusal(name, NameKind::Category); !why.isEmpty()) {
        refuse(why);
        return;
    }
    m_tables.BaseChanged = true;
    const int c = m_tables.CatCount;
    m_tables.CatNames[static_cast<std::size_t>(c)] = name.toStdString();
    m_tables.UnitCount[static_cast<std::size_t>(c)] = 0;
    {
        const QSignalBlocker block(m_combo1);
        m_combo1->addItem(name);
    }
    selectCategory(c);
    m_tables.CatCount = c + 1;
    newUnit();
}

void DatabaseEditor::confirm()
{
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
    if (watched == m_koefEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            koefEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
