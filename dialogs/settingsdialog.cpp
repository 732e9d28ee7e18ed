// The settings dialog's controls and checks: a log name that would overwrite one of the
// program's files is refused, and the ignore list can never hide every quantity nor take a
// name its file cannot hold.
#include "dialogs/settingsdialog.h"

#include "dialogs/access.h"
#include "dialogs/messagetexts.h"
#include "dialogs/messenger.h"
#include "dialogs/uistyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

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

// The same order for many names at once, in n log n; stable, so equal names keep their order.
QStringList alphabetical(const std::vector<std::string>& names)
{
    struct Entry {
        QString key;
        QString name;
    };
    std::vector<Entry> entries;
    entries.reserve(names.size());
    for (const std::string& name : names)
        entries.push_back({ui::qs(name).toCaseFolded(), ui::qs(name)});
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QString::localeAwareCompare(a.key, b.key) < 0;
    });
    QStringList sorted;
    sorted.reserve(static_cast<qsizetype>(entries.size()));
    for (const Entry& entry : entries)
        sorted << entry.name;
    return sorted;
}

QStringList itemTexts(const QComboBox& box)
{
    QStringList texts;
    for (int i = 0; i < box.count(); ++i)
        texts << box.itemText(i);
    return texts;
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
    : HandBackDialog(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), m_messenger(messenger),
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
    ui::useDesktopKeys(m_places);
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

    // The "X" of the rounding caption means nothing read aloud.
    m_roundCheck->setAccessibleName(QStringLiteral("Округлять результаты"));
    m_logFile->setAccessibleName(QStringLiteral("Имя log-файла"));
    m_places->setAccessibleName(QStringLiteral("Знаков после запятой"));
    m_places->setAccessibleDescription(QStringLiteral("От 0 до 15; стрелки меняют число на один"));
    m_ignoreList->setAccessibleName(QStringLiteral("Игнорируемые величины"));
    m_ignoreList->setAccessibleDescription(QStringLiteral("Delete убирает величину из списка"));
    ui::nameList(m_categories, QStringLiteral("Величина для списка игнорируемых"));
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
    connect(m_roundCheck, &QCheckBox::toggled, this, [this] {
        showRounding();
        announceRounding();
    });
    connect(m_places, &QScrollBar::valueChanged, this, [this] {
        showRounding();
        announceRounding();
    });
    connect(m_ignoreCheck, &QCheckBox::toggled, this, &SettingsDialog::ignoringSwitched);
    connect(m_addIgnored, &QPushButton::clicked, this, &SettingsDialog::addSelected);
    connect(m_removeIgnored, &QPushButton::clicked, this, &SettingsDialog::removeSelected);
    connect(report, &QPushButton::clicked, this, &SettingsDialog::showReport);
    connect(ok, &QPushButton::clicked, this, &SettingsDialog::confirm);
}

void SettingsDialog::setValues(const settings::RuntimeSettings& values,
                               const QStringList& quantities)
{
    {
        // Set quietly, then each handler runs once below: Qt would stay silent for a value
        // that does not change, and the conversion reruns once, with the new pair.
        const QSignalBlocker logging(m_logCheck);
        const QSignalBlocker rounding(m_roundCheck);
        const QSignalBlocker places(m_places);
        const QSignalBlocker ignoring(m_ignoreCheck);
        m_logCheck->setChecked(values.logging == settings::Logging::On);
        m_logFile->setText(ui::qs(values.logFile));
        m_roundCheck->setChecked(values.rounding == settings::Rounding::On);
        m_places->setValue(values.decimalPlaces); // a damaged value stops at the bar's end
        m_ignoreCheck->setChecked(values.ignoring == settings::Ignoring::On);
    }
    loggingSwitched();
    showRounding();
    ignoringSwitched();
    m_ignoreList->clear();
    m_ignoreList->addItems(alphabetical(values.ignoredCategories));
    if (itemTexts(*m_categories) != quantities) {
        m_categories->clear();
        m_categories->addItems(quantities); // selects the first, if any
    }
    announceRounding();
}

settings::RuntimeSettings SettingsDialog::values() const
{
    settings::RuntimeSettings values;
    values.logging = m_logCheck->isChecked() ? settings::Logging::On : settings::Logging::Off;
    values.logFile = ui::utf8(m_logFile->text());
    values.rounding = m_roundCheck->isChecked() ? settings::Rounding::On : settings::Rounding::Off;
    values.decimalPlaces = m_places->value();
    values.ignoring = m_ignoreCheck->isChecked() ? settings::Ignoring::On : settings::Ignoring::Off;
    for (int row = 0; row < m_ignoreList->count(); ++row)
        values.ignoredCategories.push_back(ui::utf8(m_ignoreList->item(row)->text()));
    return values;
}

void SettingsDialog::loggingSwitched()
{
    m_logFile->setEnabled(m_logCheck->isChecked());
}

// The bar follows its switch, the label the bar.
void SettingsDialog::showRounding()
{
    m_places->setEnabled(m_roundCheck->isChecked());
    m_placesLabel->setText(QString::number(m_places->value()));
}

void SettingsDialog::announceRounding()
{
    emit roundingChanged(m_roundCheck->isChecked() ? settings::Rounding::On
                                                   : settings::Rounding::Off,
                         m_places->value());
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
    m_ignoreList->insertItem(sortedRow(*m_ignoreList, candidate), candidate);
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

bool SettingsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ignoreList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return HandBackDialog::eventFilter(watched, event);
}
