// One run of the converter without its windows: start-up reads the settings, Ignore.ini and
// Base.dat and restores the last choices; the run keeps the model, the run-time settings and
// the log; shut-down saves what changed. Problems come back as values, in the order they are
// met; the windows word them and ask the user.
#pragma once

#include "convmodel/calclog.h"
#include "convmodel/conversionmodel.h"
#include "convmodel/inputhistory.h"
#include "fileio/atomicfile.h"
#include "fileio/filereader.h"
#include "settings/runtimesettings.h"
#include "settings/settingsstore.h"
#include "unitdb/basefile.h"
#include "unitdb/report.h"
#include "unitdb/unitdatabase.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace convmodel
{

// Where the program keeps its files. main finds them; tests give their own.
struct DataFiles {
    std::filesystem::path folder;       // Base.dat, Ignore.ini and a log named without a folder
    std::filesystem::path settingsFile; // the registry file (on Windows the registry is used)

    std::filesystem::path base() const { return folder / "Base.dat"; }
};

// Start-up's problems, each a value the window words.
struct SettingsDamaged {          // lines of the settings file were left out
    settings::StoreStatus status; // droppedLines, and the copy kept when ok()
};
struct SettingsUnkept { // the settings will not be kept this run
    settings::StoreStatus status;
};
struct SettingsUnsaved { // a write of the settings failed
    settings::StoreStatus status;
};
struct ListUnread { // Ignore.ini is there but could not be read
    std::filesystem::path file;
    fileio::FileError error = fileio::FileError::None;
    int systemError = 0;
};
struct BaseMissing {
};                 // no Base.dat: the program ends
struct BaseFault { // Base.dat could not be read whole
    unitdb::LoadResult load;
};
struct AllIgnored { // Ignore.ini named every quantity: this one is listed all the same
    std::string shown;
};
struct SingleUnit { // a quantity holds one unit only
    std::string quantity;
    std::string unit;
};
struct LogRefused { // the log cannot be opened: logging goes off
    enum class Why { NoName, OwnFile, OpenFailed } why = Why::OpenFailed; // NoName: blank or NUL
    std::string name;                                                     // as the user gave it
    std::string ownFile; // OwnFile: the program's file the name leads to
    LogFailure failure;  // OpenFailed
};
struct LogRestarted { // the log was moved away or deleted: a new one at its name goes on
    std::string name;
};
using Problem =
    std::variant<SettingsDamaged, SettingsUnkept, SettingsUnsaved, ListUnread, BaseMissing,
                 BaseFault, AllIgnored, SingleUnit, LogRefused, LogRestarted>;

// Saving Ignore.ini.
struct ListSaveFailure {
    enum class Why { Unwritable, CopyFailed, WriteFailed } why = Why::WriteFailed;
    std::string name; // Unwritable: the name the file cannot hold, and why
    unitdb::TextCheck refused;
    fileio::FileWriteResult write; // CopyFailed, WriteFailed
};

// Saving Base.dat over the file start-up read.
enum class DiskChange {
    Refuse,   // a file that changed on disk since, or cannot be read to tell, is left as it is
    Overwrite // the user agreed; an unreadable one is kept as Base.dat.bak first
};
struct BaseSaveOutcome {
    fileio::DiskState refusedFor = fileio::DiskState::Same; // Changed, Unreadable: nothing written
    unitdb::SaveResult saved;                               // when not refused
    bool ok() const { return refusedFor == fileio::DiskState::Same && saved.ok(); }
};

// What Enter did, and what became of its log entry.
struct EnterOutcome {
    EnterResult result;
    std::vector<Problem> problems;         // the log could not be opened: logging is now off
    std::optional<LogFailure> writeFailed; // the entry could not be written
};

class Session
{
public:
    // `logCaption` heads a new log; `nameOrder` orders the ignore list as the dialog shows it.
    using NameOrder = std::function<bool(const std::string&, const std::string&)>;
    Session(DataFiles files, std::string logCaption, char decimalSeparator,
            NameOrder nameOrder = std::less<std::string>());

    // Start-up. After a missing Base.dat (the last problem then) nothing else has run.
    std::vector<Problem> start();

    const DataFiles& files() const { return m_files; }
    unitdb::UnitDatabase& database() { return m_database; }
    const unitdb::UnitDatabase& database() const { return m_database; }
    ConversionModel& model() { return m_model; }
    const ConversionModel& model() const { return m_model; }
    // Every quantity's name, in table order.
    std::vector<std::string> quantityNames() const;

    const settings::RuntimeSettings& runtime() const { return m_runtime; }
    // The settings dialog's values: rounding reaches the outputs, the ignore list the
    // category list; logging turned on tries the log again at the next entry.
    void setRuntime(settings::RuntimeSettings runtime);
    // Live while the dialog is open.
    void setRounding(settings::Rounding rounding, int places);
    // The editor handed the database back: the quantities are listed again, the one shown
    // kept by its place in the database, and the rows keep their units by slot.
    void databaseHandedBack();

    // The program's own file a log name would write over; empty when none.
    std::filesystem::path ownFileFor(const std::string& logName) const;
    // How Ignore.ini keeps its names: what the settings dialog may add.
    unitdb::TextEncoding ignoreListEncoding() const { return m_ignoreEncoding; }

    // Enter in the input line, and its log entry when logging is on; a text that gave a number
    // goes into the history.
    EnterOutcome enter(std::string_view overflowText);
    InputHistory& history() { return m_history; }

    // The database report, with the size of Base.dat on disk.
    std::string report(const unitdb::ProgramVersion& version) const;

    // Shut-down, in the order the window runs it. Each save may be tried again, and each
    // holds the lock other copies of the program take, from its look at the disk to the end.
    // Ignore.ini is written only while the ignore switch is on and only when this run changed
    // the list: the names added and removed go over what the file holds then.
    std::optional<ListSaveFailure> saveIgnoreList();
    // Nothing when the settings were kept or the failure was already told.
    std::optional<settings::StoreStatus> saveSettings();
    // The history file, once, when a text was added; a failure costs only the history.
    void saveHistory();
    void closeLog() { m_log.close(); }

    // Edited this run, and not taken back to what was loaded.
    bool databaseEdited() const;
    // How much of Base.dat the database holds; a save over a partly read file keeps a copy.
    bool baseWhole() const { return m_base.whole; }
    int firstUnloadedLine() const { return m_base.firstUnloadedLine; }
    // Saves into Base.dat unless, by `onChange`, the file there is not left as it is.
    BaseSaveOutcome saveBase(DiskChange onChange);
    // Saves into another file, which may be larger than start-up reads; Base.dat itself only as
    // saveBase(Overwrite) does.
    unitdb::SaveResult saveBaseAs(const std::filesystem::path& file);

private:
    std::string storedText(const char* name);
    long storedNumber(const char* name);
    int storedPosition(const char* name, int count);
    void problem(Problem p) { m_problems.push_back(std::move(p)); }
    void flushTold(); // a failed flush becomes a problem, once
    std::optional<settings::StoreStatus> saveSettingsNow();
    void listQuantities();
    void openLog(CalcLog::Mode mode);
    std::filesystem::path logPath() const;
    void restoreUnits();

    DataFiles m_files;
    std::string m_logCaption;
    NameOrder m_nameOrder;
    settings::SettingsStore m_store;
    unitdb::UnitDatabase m_database;
    ConversionModel m_model;
    settings::RuntimeSettings m_runtime;
    CalcLog m_log;
    InputHistory m_history;
    std::vector<Problem> m_problems;

    bool m_firstRun = false;       // the first-run values hold for the run, stored or not
    bool m_databaseLoaded = false; // false: the stored positions are not ours to overwrite
    bool m_settingsUnkept = false; // said at start-up: no later failure is told
    bool m_flushFailTold = false;
    bool m_logFailed = false; // said once; turning logging on again gives it another try
    std::vector<std::string> m_ignoreRead; // the list as read, or as this run last wrote it
    unitdb::TextEncoding m_ignoreEncoding = unitdb::TextEncoding::Cp1251;
    std::filesystem::path m_ignoreFile;
    struct BaseState {
        bool whole = true;
        int firstUnloadedLine = 0;
        std::optional<fileio::FileStamp> stamp; // none when the file could not be read
    } m_base;
};

} // namespace convmodel
