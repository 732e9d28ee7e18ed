// The settings dialog: edits a copy of the run-time settings (logging, rounding, the ignore
// list), which the main window hands in and takes back, and shows the database report.
#pragma once

#include "dialogs/handbackdialog.h"
#include "settings/runtimesettings.h"
#include "unitdb/textrule.h"

#include <QStringList>

#include <functional>

class Messenger;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

class SettingsDialog : public HandBackDialog
{
    Q_OBJECT
public:
    // reportText builds the database report shown by "Отчет".
    SettingsDialog(Messenger& messenger, std::function<QString()> reportText,
                   QWidget* parent = nullptr);

    // Shows these values for editing: every switch's handler runs (the enabled states follow),
    // the ignored names take their alphabetical places and `quantities` (every quantity, in
    // table order) fill the quantity list. Its selection is kept when the quantities are the
    // same as last time, else the first is selected.
    void setValues(const settings::RuntimeSettings& values, const QStringList& quantities);
    // What the controls hold now, the ignored names in the order shown.
    settings::RuntimeSettings values() const;
    // How Ignore.ini is kept: "Добавить" refuses a name the file could not hold.
    void setIgnoreFileEncoding(unitdb::TextEncoding encoding);
    // Names the program's own file a log file name would write over (empty: none);
    // "Хорошо" refuses such a name.
    void setLogFileCheck(std::function<QString(const QString&)> ownFile);

signals:
    // The rounding switch or the digit count changed, also to a value set again unchanged:
    // the main window reruns its conversion with these.
    void roundingChanged(settings::Rounding rounding, int places);

private:
    void buildControls();
    void connectControls();
    bool eventFilter(QObject* watched, QEvent* event) override;
    void confirm() override;
    void loggingSwitched();
    void showRounding();
    void ignoringSwitched();
    void announceRounding();
    void addSelected();
    void removeSelected();
    void showReport();
    int selectedIgnoredRow() const;
    void selectIgnoredRow(int row);

    Messenger& m_messenger;
    std::function<QString()> m_reportText;
    std::function<QString(const QString&)> m_ownFile;
    unitdb::TextEncoding m_ignoreEncoding = unitdb::TextEncoding::Cp1251;
    QCheckBox* m_logCheck = nullptr;
    QLineEdit* m_logFile = nullptr;
    QCheckBox* m_roundCheck = nullptr;
    QScrollBar* m_places = nullptr;
    QLabel* m_placesLabel = nullptr;
    QCheckBox* m_ignoreCheck = nullptr;
    QListWidget* m_ignoreList = nullptr;
    QPushButton* m_addIgnored = nullptr;
    QPushButton* m_removeIgnored = nullptr;
    QComboBox* m_categories = nullptr;
};
