// The settings dialog: logging, rounding and the ignore list for the whole run,
// plus the database report. Its controls hold the run-time settings.
#pragma once

#include "unitdb/textrule.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class Messenger;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;

class SettingsDialog : public QWidget
{
    Q_OBJECT
public:
    // reportText builds the database report shown by "Отчет".
    SettingsDialog(Messenger& messenger, std::function<QString()> reportText,
                   QWidget* parent = nullptr);

    bool logging() const;
    QString logFile() const;
    bool rounding() const;
    int places() const; // 0..15
    bool ignoring() const;
    QStringList ignored() const;    // alphabetical, as shown
    QStringList categories() const; // every quantity, in table order

    // Each switch runs its handler even when the value does not change,
    // so the enabled states always follow the switches.
    void setLogging(bool on);
    void setLogFile(const QString& name);
    void setRounding(bool on);
    void setPlaces(int places);
    void setIgnoring(bool on);
    void addIgnored(const QString& name);      // takes its alphabetical place
    void addIgnored(const QStringList& names); // the same for many at once, in n log n
    void addCategory(const QString& name);
    void selectCategory(int index);
    // Names the program's own file a log file name would write over (empty: none);
    // "Хорошо" refuses such a name.
    void setLogFileCheck(std::function<QString(const QString&)> ownFile);
    // How Ignore.ini is kept: "Добавить" refuses a name the file could not hold.
    void setIgnoreFileEncoding(unitdb::TextEncoding encoding);

signals:
    // The rounding switch or the digit count changed: the main window reruns its conversion.
    void roundingChanged();
    // The user ticked or unticked logging.
    void loggingChanged(bool on);
    // "Хорошо" or the close button: the main window takes over again.
    void handedBack();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void connectControls();
    void setSwitch(QCheckBox* box, bool on, void (SettingsDialog::*switched)());
    void loggingSwitched();
    void roundingSwitched();
    void placesChanged(int value);
    void ignoringSwitched();
    void addSelected();
    void removeSelected();
    void showReport();
    void confirm();
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
