// The settings dialog's controls and checks: a log name that would overwrite one of the
// program's files is refused, and the ignore list can never hide every quantity nor take a
// name its file cannot hold.
#include "dialogs/settingsdialog.h"

#include "dialogs/messenger.h"
#include "dialogs/textmessages.h"
#include "dialogs/uistyle.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>
#include <utility>
#include <vector>

namespace
{

// Row at which a sorted list takes a new name: case ignored, in the system's collation.
// Equal names go after those already there, so start-up keeps the file's order among them.
int sortedRow(const QListWidget& list, const QString& name)
{
    const QString key = name.toCaseFolded();
    int row = 0;
    while (row < list.count() &&
           QString::localeAwareCompare(list.item(row)->text().toCaseFolded(), key) <= 0)
        ++row;
    return row;
}

bool listHolds(const QListWidget& list, const QString& name)
{
    for (int row = 0; row < list.count(); ++row) {
        if (list.item(row)->text() == name)
            return true;
    }
    return false;
}

// True when ignoring the candidate would leave no quantity to show. Counting the
// quantities still shown, rather than comparing list sizes, stays right when the
// ignore file names quantities the database no longer has.
bool hidesEveryQuantity(const QComboBox& categories, const QListWidget& ignored,
                        const QString& candidate)
{
    for (int i = 0; i < categories.count(); ++i) {
        const QString name = categories.itemText(i);
        if (name != candidate && !listHolds(ignored, name))
            return false;
    }
    return true;
}

QPushButton* addButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

QCheckBox* addCheck(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* check = new QCheckBox(caption, parent);
    check->setObjectName(QLatin1String(name));
    check->setGeometry(geometry);
    check->setChecked(true);
    return check;
}

} // namespace

SettingsDialog::SettingsDialog(Messenger& messenger, std::function<QString()> reportText,
                               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), m_messenger(messenger),
      m_reportText(std::move(reportText))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Метрованта - Настройка"));
    setFont(ui::programFont());
    setFixedSize(ui::twips(4800), ui::twips(4635));
    buildControls();
    connectControls();
}

void SettingsDialog::buildControls()
{
    m_logCheck = addCheck(this, "Logcheck", QStringLiteral("Вести запись вычислений в log-файл"),
                          ui::twipsRect(120, 120, 3855, 255));
    m_logFile = new QLineEdit(this);
    m_logFile->setObjectName(QStringLiteral("Logfile"));
    m_logFile->setGeometry(ui::twipsRect(120, 360, 4575, 285));
    ui::addEtchedLine(this, QStringLiteral("Line1"), 120, 4680, 720);

    m_roundCheck =
        addCheck(this, "RoundCheck", QStringLiteral("Округлять до X знаков после запятой:"),
                 ui::twipsRect(120, 840, 3855, 255));
    m_places = new QScrollBar(Qt::Horizontal, this);
    m_places->setObjectName(QStringLiteral("HScroll1"));
    m_places->setGeometry(ui::twipsRect(120, 1080, 4215, 250));
    m_places->setRange(0, 15);
    m_places->setSingleStep(1);
    m_places->setPageStep(1);
    m_places->setValue(9);
    m_places->setTracking(true); // the label and the outputs follow the thumb while dragged
    m_placesLabel = new QLabel(QStringLiteral("9"), this);
    m_placesLabel->setObjectName(QStringLiteral("Label4"));
    m_placesLabel->setGeometry(ui::twipsRect(4440, 1080, 225, 195));
    ui::addEtchedLine(this, QStringLiteral("Line2"), 120, 4680, 1440);

    m_ignoreCheck =
        addCheck(this, "IgnoreCheck", QStringLiteral("Игнорировать следующие величины:"),
                 ui::twipsRect(120, 1560, 3855, 195));
    m_ignoreList = new QListWidget(this);
    m_ignoreList->setObjectName(QStringLiteral("List1"));
    m_ignoreList->setGeometry(ui::twipsRect(120, 1800, 4575, 2010));
    m_ignoreList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ignoreList->installEventFilter(this);
    m_categories = new QComboBox(this);
    m_categories->setObjectName(QStringLiteral("Combo1"));
    m_categories->setGeometry(ui::twipsRect(120, 3840, 4575, 315));
    for (QWidget* field : {static_cast<QWidget*>(m_logFile), static_cast<QWidget*>(m_ignoreList),
                           static_cast<QWidget*>(m_categories)})
        ui::setColours(field, ui::kFieldBack, ui::kFieldText);
}

void SettingsDialog::connectControls()
{
    m_addIgnored = addButton(this, "Command2", QStringLiteral("Добавить"),
                             ui::twipsRect(120, 4200, 1095, 375));
    m_removeIgnored = addButton(this, "Command3", QStringLiteral("Удалить"),
                                ui::twipsRect(1200, 4200, 1095, 375));
    auto* report =
        addButton(this, "Command1", QStringLiteral("Отчет"), ui::twipsRect(2280, 4200, 1095, 375));
    auto* ok =
        addButton(this, "Command4", QStringLiteral("Хорошо"), ui::twipsRect(3360, 4200, 1335, 375));
    ok->setDefault(true);

    connect(m_logCheck, &QCheckBox::toggled, this, &SettingsDialog::loggingSwitched);
    // clicked comes only from the user, never from setChecked at start-up.
    connect(m_logCheck, &QCheckBox::clicked, this, &SettingsDialog::loggingChanged);
    connect(m_roundCheck, &QCheckBox::toggled, this, &SettingsDialog::roundingSwitched);
    connect(m_places, &QScrollBar::valueChanged, this, &SettingsDialog::placesChanged);
    connect(m_ignoreCheck, &QCheckBox::toggled, this, &SettingsDialog::ignoringSwitched);
    connect(m_addIgnored, &QPushButton::clicked, this, &SettingsDialog::addSelected);
    connect(m_removeIgnored, &QPushButton::clicked, this, &SettingsDialog::removeSelected);
    connect(report, &QPushButton::clicked, this, &SettingsDialog::showReport);
    connect(ok, &QPushButton::clicked, this, &SettingsDialog::confirm);
}

bool SettingsDialog::logging() const
{
    return m_logCheck->isChecked();
}
QString SettingsDialog::logFile() const
{
    return m_logFile->text();
}
bool SettingsDialog::rounding() const
{
    return m_roundCheck->isChecked();
}
int SettingsDialog::places() const
{
    return m_places->value();
}
bool SettingsDialog::ignoring() const
{
    return m_ignoreCheck->isChecked();
}

QStringList SettingsDialog::ignored() const
{
    QStringList names;
    for (int row = 0; row < m_ignoreList->count(); ++row)
        names << m_ignoreList->item(row)->text();
    return names;
}

QStringList SettingsDialog::categories() const
{
    QStringList names;
    for (int i = 0; i < m_categories->count(); ++i)
        names << m_categories->itemText(i);
    return names;
}

// Qt emits nothing for an unchanged value, so the setters run the handler themselves then.
void SettingsDialog::setSwitch(QCheckBox* box, bool on, void (SettingsDialog::*switched)())
{
    if (box->isChecked() == on)
        (this->*switched)();
    else
        box->setChecked(on);
}

void SettingsDialog::setLogging(bool on)
{
    setSwitch(m_logCheck, on, &SettingsDialog::loggingSwitched);
}

void SettingsDialog::setLogFile(const QString& name)
{
    m_logFile->setText(name);
}

void SettingsDialog::setRounding(bool on)
{
    setSwitch(m_roundCheck, on, &SettingsDialog::roundingSwitched);
}

void SettingsDialog::setPlaces(int places)
{
    const int value = std::clamp(places, m_places->minimum(), m_places->maximum());
    if (m_places->value() == value)
        placesChanged(value);
    else
        m_places->setValue(value);
}

void SettingsDialog::setIgnoring(bool on)
{
    setSwitch(m_ignoreCheck, on, &SettingsDialog::ignoringSwitched);
}

void SettingsDialog::addIgnored(const QString& name)
{
    m_ignoreList->insertItem(sortedRow(*m_ignoreList, name), name);
}

void SettingsDialog::addIgnored(const QStringList& names)
{
    // One sort instead of a sorted insert per name; stable, so equal names keep their order.
    struct Entry {
        QString key;
        QString name;
    };
    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(m_ignoreList->count() + names.size()));
    for (const QString& name : ignored() + names)
        entries.push_back({name.toCaseFolded(), name});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QString::localeAwareCompare(a.key, b.key) < 0;
    });
    QStringList sorted;
    sorted.reserve(static_cast<qsizetype>(entries.size()));
    for (const Entry& entry : entries)
        sorted << entry.name;
    m_ignoreList->clear();
    m_ignoreList->addItems(sorted);
}

void SettingsDialog::addCategory(const QString& name)
{
    m_categories->addItem(name);
}

void SettingsDialog::selectCategory(int index)
{
    m_categories->setCurrentIndex(index);
}

void SettingsDialog::loggingSwitched()
{
    m_logFile->setEnabled(m_logCheck->isChecked());
}

void SettingsDialog::roundingSwitched()
{
    m_places->setEnabled(m_roundCheck->isChecked());
    emit roundingChanged();
}

void SettingsDialog::placesChanged(int value)
{
    m_placesLabel->setText(QString::number(value));
    emit roundingChanged();
}

void SettingsDialog::ignoringSwitched()
{
    // The buttons go with the list: an unticked switch keeps the list as it is.
    for (QWidget* part : {static_cast<QWidget*>(m_ignoreList), static_cast<QWidget*>(m_addIgnored),
                          static_cast<QWidget*>(m_removeIgnored)})
        part->setEnabled(m_ignoreCheck->isChecked());
}

void SettingsDialog::addSelected()
{
    const int index = m_categories->currentIndex();
    if (index < 0)
        return; // no quantities at all: there is nothing to ignore
    const QString candidate = m_categories->itemText(index);
    if (listHolds(*m_ignoreList, candidate))
        return;
    const auto check =
        unitdb::checkText(candidate.toStdString(), unitdb::TextField::ListName, m_ignoreEncoding);
    if (!check.ok()) {
        m_messenger.message(
            this,
            QStringLiteral("Величина «%1» не добавлена: %2").arg(candidate, textRefusal(check)),
            QStringLiteral("Ошибка"), MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    if (hidesEveryQuantity(*m_categories, *m_ignoreList, candidate)) {
        m_messenger.message(this, QStringLiteral("Достигнуто минимальное количество величин!"),
                            QStringLiteral("Ошибка"), MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }
    addIgnored(candidate);
    if (index < m_categories->count() - 1)
        m_categories->setCurrentIndex(index + 1);
}

void SettingsDialog::removeSelected()
{
    const int row = selectedIgnoredRow();
    const int last = m_ignoreList->count() - 1;
    if (row < 0) {
        selectIgnoredRow(last);
        return;
    }
    delete m_ignoreList->takeItem(row);
    // The item that followed takes the removed one's row; after the last one nothing is left
    // selected.
    selectIgnoredRow(row < last ? row : -1);
}

int SettingsDialog::selectedIgnoredRow() const
{
    const QList<QListWidgetItem*> items = m_ignoreList->selectedItems();
    return items.isEmpty() ? -1 : m_ignoreList->row(items.first());
}

void SettingsDialog::selectIgnoredRow(int row)
{
    if (row < 0) {
        m_ignoreList->clearSelection();
        m_ignoreList->setCurrentRow(-1);
        return;
    }
    m_ignoreList->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

void SettingsDialog::showReport()
{
    m_messenger.message(this, m_reportText ? m_reportText() : QString(),
                        QStringLiteral("Отчет по базе"), MsgIcon::Information, MsgButtons::Ok);
}

void SettingsDialog::setLogFileCheck(std::function<QString(const QString&)> ownFile)
{
    m_ownFile = std::move(ownFile);
}

void SettingsDialog::setIgnoreFileEncoding(unitdb::TextEncoding encoding)
{
    m_ignoreEncoding = encoding;
}

void SettingsDialog::confirm()
{
    if (const QString own = m_ownFile ? m_ownFile(m_logFile->text()) : QString(); !own.isEmpty()) {
        m_messenger.message(this,
                            QStringLiteral("Log-файл %1 - это файл программы %2. Выберите другое "
                                           "имя log-файла.")
                                .arg(m_logFile->text(), own),
                            QStringLiteral("Ошибка"), MsgIcon::Exclamation, MsgButtons::Ok);
        m_logFile->setFocus();
        m_logFile->selectAll();
        return;
    }
    hide();
    emit handedBack();
}

void SettingsDialog::closeEvent(QCloseEvent* event)
{
    // The close button does what "Хорошо" does; the dialog lives on, hidden, with its values.
    event->ignore();
    confirm();
}

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ignoreList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
