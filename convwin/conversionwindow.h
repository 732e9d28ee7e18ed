// The conversion window: a quantity, an input row and four output rows, with
// a fold-out description panel. It owns start-up and shut-down of the program.
#pragma once

#include "convwin/calclog.h"
#include "fileio/filereader.h"
#include "unitdb/unitdatabase.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class SettingsDialog;
class AboutBox;
class DatabaseEditor;
class FindBox;
class Messenger;
namespace settings
{
class SettingsStore;
}

class ConversionWindow : public QWidget
{
    Q_OBJECT
public:
    // `registryFile` is where the settings live (empty: the usual per-user place).
    ConversionWindow(unitdb::UnitDatabase& database, Messenger& messenger,
                     const QString& registryFile = {}, QWidget* parent = nullptr);
    ~ConversionWindow() override;

    // Start-up; false when the program must end at once (no Base.dat).
    bool startUp();
    // Shut-down: saves the ignore list and the settings, offers to save Base.dat.
    void shutDown();

    // Recomputes the four outputs from the input line and the selected units.
    void convert();
    // Category name -> database position; -1 when no category bears it (callers use 0).
    int categoryIndex(const QString& name) const;
    // The unit's short name: what stands between its first "(" and the ")" after it.
    static QString shortName(const QString& unitName);
    void showDescription(QComboBox* list);
    void writeFirstRunSettings();
    // Shows one error box; returns false when the error is fatal.
    bool reportError(int number, QString description);
    QString report() const;
    static bool fileExists(const QString& name);

    SettingsDialog* settingsDialog() const { return m_settingsDialog; }
    DatabaseEditor* editor() const { return m_editor; }
    bool panelOpen() const { return m_panelOpen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void selectIn(QComboBox* list, int position);
    void categoryChosen();
    void unitChosen(QComboBox* list);
    void unitKeyTyped(QComboBox* list, QChar typed);
    void inTextChanged();
    void inTextEnter();
    void setInText(const QString& text);
    void helpPressed(int index);
    void scrollPressed();
    void outputClicked(int index);
    void openSettings();
    void openAbout();
    void handBack();
    void openEditor();
    void editorHandedBack();
    void settingsHandedBack();
    void writeLog(const QString& before, const QString& after);
    bool openLog(CalcLog::Mode mode);
    void switchLoggingOff();
    QString ownFileFor(const QString& logFile) const;
    void checkSettingsFile();
    void flushSettings();
    std::string storedText(const char* name);
    int storedPosition(const char* name, int count);
    long storedNumber(const char* name);
    void fillCategoryLists(const QStringList& ignored);
    QString saveIgnoreList();
    enum class AskFirst { No, Yes };
    QString baseSaveQuestion() const;
    void saveDatabase();
    void saveDatabaseElsewhere(AskFirst ask);
    // Writes the database to `file`; the reason in words when it fails.
    QString saveBase(const std::string& file);
    // False when the user gave up after a failure.
    bool saveWithRetry(const QString& file, const std::function<QString()>& save);
    void changeHeight(int deltaTwips);
    std::array<QComboBox*, 5> unitLists() const;
    // The units of the quantity the category list shows, in list order.
    const std::vector<unitdb::Unit>& shownUnits() const;
    void updateTabOrder();
    void setPanelReachable(bool open);
    void fitListWidth(QComboBox* list);
    bool outputEvent(int index, QEvent* event);
    void showOutputMenu(int index, const QPoint& globalPos);
    void copyOutput(int index);
    void setUpFind();
    void openFind();
    void findChosen(int list, int slot);
    // The description as the panel shows it: a long run without blanks cut into lines.
    static QString panelText(const QString& description);

    unitdb::UnitDatabase& m_db;
    Messenger& m_msg;
    std::unique_ptr<settings::SettingsStore> m_settings;
    // The database as loaded and sorted: shut-down asks to save only when it differs.
    std::optional<unitdb::UnitDatabase> m_loadedDatabase;
    CalcLog m_log;
    QString m_currentFile;
    bool m_panelOpen = false;
    int m_heightTwips = 2330;
    bool m_logFailed = false;
    QStringList m_quantityNames;          // the settings dialog's quantity list, as at start
    QString m_panelSource;                // the description the panel shows, before panelText()
    std::filesystem::path m_settingsFile; // empty where the system registry keeps them
    bool m_settingsUnwritable = false;    // start-up said the settings will not be kept
    bool m_settingsFlushFailed = false;   // a failed save of the settings has been told
    bool m_firstRun = false;              // the defaults hold for the run, whether stored or not
    bool m_databaseLoaded = false; // false: the stored positions are not the user's to overwrite
    // How much of Base.dat the database holds, and what the file was when read.
    struct BaseFileState {
        bool whole = true;                      // false: saving keeps the old file as Base.dat.bak
        int firstUnloadedLine = 0;              // 0 when none of the file was read
        std::optional<fileio::FileStamp> stamp; // none when the file could not be read
    };
    BaseFileState m_base;
    bool m_ignoreUnread = false; // Ignore.ini is there but could not be read
    bool m_overflowed = false;   // the last conversion overflowed in some output
    std::array<double, 4> m_outCoefficients{};
    // How Ignore.ini was stored: saving keeps it.
    unitdb::TextEncoding m_ignoreEncoding = unitdb::TextEncoding::Cp1251;

    SettingsDialog* m_settingsDialog = nullptr;
    AboutBox* m_aboutBox = nullptr;
    DatabaseEditor* m_editor = nullptr;
    FindBox* m_findBox = nullptr;
    QComboBox* m_findRow = nullptr; // the unit list the find box fills

    QLabel* m_categoryLabel = nullptr;
    QComboBox* m_categoryList = nullptr;
    QLineEdit* m_inputText = nullptr;
    QComboBox* m_inputUnit = nullptr;
    std::array<QLineEdit*, 4> m_outputTexts{};
    std::array<QComboBox*, 4> m_outputUnits{};
    std::array<QPushButton*, 5> m_helpButtons{};
    QLabel* m_panelUnit = nullptr;
    QPushButton* m_aboutButton = nullptr;
    QPushButton* m_settingsButton = nullptr;
    QPushButton* m_editorButton = nullptr;
    QPushButton* m_foldButton = nullptr;
    QPlainTextEdit* m_panelDescription = nullptr;
};
