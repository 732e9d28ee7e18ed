// Start-up and shut-down without windows: the order of the steps, the first run's values, the
// positions the lists had last time, and saving only what may be saved.
#include "convmodel/session.h"

#include "calc/numbertext.h"
#include "convmodel/ownfiles.h"
#include "fileio/filelock.h"
#include "settings/storednames.h"
#include "unitdb/ignorefile.h"
#include "unitdb/report.h"
#include "unitdb/unitsort.h"

#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <utility>

namespace convmodel
{

namespace
{

const char* const kIgnoreFile = "Ignore.ini";
const char* const kHistoryFile = "History.txt";
constexpr std::size_t kHistoryFileLimit = 1 << 20; // far more than 100 kept texts take
// The units a quantity was last used with are stored under this and the quantity's name.
const std::string kUnitsValue = "Units:";

// The input unit's name, then the outputs', each "|" and "\" escaped by a "\", joined by "|"
// (Field1 to Field5's order).
std::string unitsText(const RowUnits& units)
{
    std::string text;
    for (int row : {kInputRow, 0, 1, 2, 3}) {
        if (row != kInputRow)
            text += '|';
        for (char c : units[static_cast<std::size_t>(row)]) {
            if (c == '|' || c == '\\')
                text += '\\';
            text += c;
        }
    }
    return text;
}

// Five names or nothing: a value that does not hold them is left to fall back.
std::optional<RowUnits> parseUnits(std::string_view text)
{
    std::vector<std::string> names(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '|')
            names.emplace_back();
        else
            names.back() += text[i] == '\\' && i + 1 < text.size() ? text[++i] : text[i];
    }
    if (names.size() != kRows)
        return std::nullopt;
    RowUnits units;
    units[kInputRow] = names[0];
    for (std::size_t row = 0; row < kOutputRows; ++row)
        units[row] = names[row + 1];
    return units;
}

// Blank, or holding a NUL: the system would take the name only up to it, so that a check of
// the whole name would not be a check of the file opened.
bool namesNoFile(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos ||
           text.find('\0') != std::string_view::npos;
}

std::string positionText(int position)
{
    return std::to_string(position);
}

// A save that waited for another copy's lock in vain.
fileio::FileWriteResult lockedOut(const std::filesystem::path& file)
{
    fileio::FileWriteResult r;
    r.code = fileio::FileError::Locked;
    r.step = fileio::FileStep::Open;
    r.file = file;
    return r;
}

bool isBusy(const fileio::FileLock& lock)
{
    return lock.status() == fileio::FileLock::Status::Busy;
}

// The names of `from` that `names` lacks, in the order of `from`.
std::vector<std::string> missingFrom(const std::vector<std::string>& from,
                                     const std::vector<std::string>& names)
{
    std::vector<std::string> missing;
    for (const std::string& name : from)
        if (std::ranges::find(names, name) == names.end())
            missing.push_back(name);
    return missing;
}

} // namespace

Session::Session(DataFiles files, std::string logCaption, char decimalSeparator,
                 NameOrder nameOrder)
    : m_files(std::move(files)), m_logCaption(std::move(logCaption)),
      m_nameOrder(std::move(nameOrder)), m_store(m_files.settingsFile),
      m_model(m_database, decimalSeparator)
{
}

std::vector<Problem> Session::start()
{
    m_problems.clear();
    {
        // What saves killed midway left; another copy saving right now keeps its files.
        const fileio::FileLock lock(fileio::folderLock(m_files.folder),
                                    std::chrono::milliseconds(0));
        fileio::removeLeftovers(lock, m_files.folder,
                                {"Base.dat", "Base.dat.bak", kIgnoreFile, "Ignore.ini.bak"});
    }
    const settings::StoreStatus opened = m_store.open();
    if (opened.droppedLines > 0)
        problem(SettingsDamaged{opened});
    if (!opened.ok()) {
        problem(SettingsUnkept{opened});
        m_settingsUnkept = true;
    }
    m_runtime.ignoring =
        storedNumber("Ignoring") != 0 ? settings::Ignoring::On : settings::Ignoring::Off;

    // Read in any letter case: a list copied from another system is often IGNORE.INI.
    std::vector<std::string> ignored;
    bool ignoreFound = false;
    if (const auto found = findFile(m_files.folder, kIgnoreFile); !found.empty()) {
        ignoreFound = true;
        const auto read = fileio::readFile(found, unitdb::kListFileLimit);
        if (!read.ok()) {
            problem(ListUnread{found, read.code, read.systemError});
        } else {
            unitdb::IgnoreList list = unitdb::parseIgnoreList(read.bytes);
            ignored = std::move(list.names);
            m_ignoreEncoding = list.encoding;
        }
    }

    const unitdb::LoadResult loaded = unitdb::load(m_database, m_files.base());
    m_base.whole = loaded.ok();
    m_base.firstUnloadedLine = loaded.partial ? loaded.line : 0;
    m_base.stamp.reset();
    if (loaded.ok() || loaded.partial)
        m_base.stamp = loaded.stamp;
    if (loaded.fileError == fileio::FileError::Missing) {
        problem(BaseMissing{});
        return std::move(m_problems);
    }
    if (!loaded.ok())
        problem(BaseFault{loaded});
    // A new list takes the names as the database holds them.
    if (!ignoreFound)
        m_ignoreEncoding = m_database.encoding();
    m_databaseLoaded = m_database.size() > 0;
    m_database.sortUnits();

    std::ranges::stable_sort(ignored, m_nameOrder);
    m_ignoreRead = ignored;
    m_runtime.ignoredCategories = std::move(ignored);
    listQuantities();
    // A list that hides everything leaves an empty window; the first quantity stays, as the
    // settings dialog would have kept one.
    if (m_model.listed().empty() && m_database.size() > 0) {
        std::erase(m_runtime.ignoredCategories, m_database.name(0));
        listQuantities();
        problem(AllIgnored{m_database.name(0)});
    }

    if (storedNumber("Launched") == 0) {
        settings::writeFirstRunValues(m_store);
        flushTold(); // so that a later crash does not make the next start a first one
        m_firstRun = true;
    }

    restoreUnits();

    const long round = storedNumber("Round");
    if (round > -1)
        m_runtime.decimalPlaces = static_cast<int>(std::min(round, 15L));
    else
        m_runtime.rounding = settings::Rounding::Off;
    m_model.setRounding({m_runtime.rounding == settings::Rounding::On, m_runtime.decimalPlaces});
    m_runtime.logging =
        storedNumber("Logging") != 0 ? settings::Logging::On : settings::Logging::Off;
    m_runtime.logFile = storedText("Logfile");

    // A quantity the load fault cut short was told of with the fault.
    const std::size_t cut = loaded.lastCut ? m_database.size() - 1 : m_database.size();
    for (const auto& single : unitdb::singleUnitCategories(m_database))
        if (single.quantity != cut)
            problem(SingleUnit{single.categoryName, single.unitName});

    if (m_runtime.logging == settings::Logging::On)
        openLog(CalcLog::Mode::Create);
    // A history that cannot be read is started afresh.
    const auto history = fileio::readFile(m_files.folder / kHistoryFile, kHistoryFileLimit);
    m_history.load(history.ok() ? std::string_view(history.bytes) : std::string_view());
    return std::move(m_problems);
}

void Session::restoreUnits()
{
    std::map<std::string, RowUnits> used;
    for (std::size_t i = 0; i < m_database.size(); ++i) {
        const std::string& name = m_database.name(i);
        if (!m_firstRun && !used.contains(name))
            if (auto units = parseUnits(m_store.read(kUnitsValue + name, "")))
                used[name] = *units;
    }
    m_model.setUsedUnits(used);

    m_model.selectQuantity(storedPosition("Velic", static_cast<int>(m_model.listed().size())));
    const unitdb::Quantity* q = m_model.quantity();
    // The units by name win over the positions Field1 to Field5 have kept since before there
    // were names; a first start has neither.
    if (!q || m_firstRun || used.contains(q->name))
        return;
    const int units = static_cast<int>(q->units.size());
    m_model.selectUnit(kInputRow, storedPosition("Field1", units));
    for (int row = 0; row < kOutputRows; ++row)
        m_model.selectUnit(row, storedPosition(("Field" + std::to_string(row + 2)).c_str(), units));
}

std::vector<std::string> Session::quantityNames() const
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < m_database.size(); ++i)
        names.push_back(m_database.name(i));
    return names;
}

void Session::listQuantities()
{
    const auto& ignored = m_runtime.ignoredCategories;
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < m_database.size(); ++i)
        if (std::ranges::find(ignored, m_database.name(i)) == ignored.end())
            listed.push_back(i);
    m_model.setListed(std::move(listed));
    // The quantity shown was hidden or deleted: the first one left takes its place.
    if (m_model.quantityPosition() < 0 && !m_model.listed().empty())
        m_model.selectQuantity(0);
}

void Session::setRuntime(settings::RuntimeSettings runtime)
{
    const bool loggingTurnedOn =
        m_runtime.logging == settings::Logging::Off && runtime.logging == settings::Logging::On;
    m_runtime = std::move(runtime);
    if (loggingTurnedOn)
        m_logFailed = false;
    setRounding(m_runtime.rounding, m_runtime.decimalPlaces);
    listQuantities();
}

void Session::databaseHandedBack()
{
    listQuantities();
    m_model.refresh();
}

void Session::setRounding(settings::Rounding rounding, int places)
{
    m_runtime.rounding = rounding;
    m_runtime.decimalPlaces = places;
    m_model.setRounding({rounding == settings::Rounding::On, places});
}

std::string Session::storedText(const char* name)
{
    const settings::StoredName& entry = settings::storedName(name);
    // On the first run the first-run values hold in memory, even when they could not be stored.
    if (m_firstRun)
        return entry.firstRun;
    return m_store.read(name, entry.fallback);
}

long Session::storedNumber(const char* name)
{
    // Read as the program reads any number: blanks and a "+" do not matter, text reads as 0.
    const double value = calc::readNumber(storedText(name));
    return static_cast<long>(std::clamp(value, -1e9, 1e9));
}

int Session::storedPosition(const char* name, int count)
{
    const long value = storedNumber(name);
    // No selection stored, or one past the end of the list: the first entry.
    return value < 0 || value >= count ? 0 : static_cast<int>(value);
}

void Session::flushTold()
{
    if (auto failed = saveSettingsNow())
        problem(SettingsUnsaved{*failed});
}

std::optional<settings::StoreStatus> Session::saveSettingsNow()
{
    const settings::StoreStatus status = m_store.flush();
    if (status.ok()) {
        m_flushFailTold = false;
        return std::nullopt;
    }
    // Told once until a save succeeds again, and not at all once start-up has said that the
    // settings will not be kept.
    if (m_settingsUnkept || std::exchange(m_flushFailTold, true))
        return std::nullopt;
    return status;
}

std::filesystem::path Session::logPath() const
{
    return m_files.folder / m_runtime.logFile;
}

std::filesystem::path Session::ownFileFor(const std::string& logName) const
{
    std::vector<std::filesystem::path> own{m_files.base(), m_files.folder / kIgnoreFile,
                                           fileio::folderLock(m_files.folder),
                                           m_files.folder / kHistoryFile};
    if (!m_files.settingsFile.empty())
        own.push_back(m_files.settingsFile);
    return sameFile(m_files.folder / logName, own);
}

void Session::openLog(CalcLog::Mode mode)
{
    const std::string& name = m_runtime.logFile;
    LogRefused refused{LogRefused::Why::OpenFailed, name, {}, {}};
    if (namesNoFile(name)) {
        refused.why = LogRefused::Why::NoName;
        // A bad log name once put every stored setting back to the first run's; shut-down
        // writes the run's values over them again.
        settings::writeFirstRunValues(m_store);
        flushTold();
    } else if (const auto own = ownFileFor(name); !own.empty()) {
        refused.why = LogRefused::Why::OwnFile;
        refused.ownFile = own.filename().string();
    } else if (auto failure = m_log.open(logPath(), mode, m_logCaption)) {
        refused.failure = *failure;
    } else {
        return;
    }
    problem(refused);
    // Said once; turning logging on again gives the log another try.
    m_logFailed = true;
    m_runtime.logging = settings::Logging::Off;
}

EnterOutcome Session::enter(std::string_view overflowText)
{
    const std::string before = m_model.input();
    EnterOutcome outcome{m_model.enter(), {}, {}};
    if (outcome.result.evaluated)
        m_history.add(before);
    if (outcome.result.failed() || m_runtime.logging == settings::Logging::Off)
        return outcome;
    if (!m_log.isOpen()) {
        if (m_logFailed)
            return outcome;
        m_problems.clear();
        openLog(CalcLog::Mode::Append);
        outcome.problems = std::move(m_problems);
        if (!m_log.isOpen())
            return outcome;
    }
    const LogWrite written = m_log.write(m_model.logLines(before, overflowText));
    outcome.writeFailed = written.failure;
    if (written.restarted)
        outcome.problems.push_back(LogRestarted{m_runtime.logFile});
    return outcome;
}

std::string Session::report(const unitdb::ProgramVersion& version) const
{
    return unitdb::report(m_database, m_files.base(), version);
}

std::optional<ListSaveFailure> Session::saveIgnoreList()
{
    // With the switch off the file keeps what it holds.
    if (m_runtime.ignoring == settings::Ignoring::Off)
        return std::nullopt;
    const auto& names = m_runtime.ignoredCategories;
    const auto added = missingFrom(names, m_ignoreRead);
    const auto removed = missingFrom(m_ignoreRead, names);
    // Unchanged, the list is not written: another copy's change since start-up stays.
    if (added.empty() && removed.empty())
        return std::nullopt;
    const auto file = m_files.folder / kIgnoreFile;
    const fileio::FileLock lock(fileio::folderLock(m_files.folder));
    if (isBusy(lock))
        return ListSaveFailure{ListSaveFailure::Why::WriteFailed, {}, {}, lockedOut(file)};

    // This run's changes go over what the file holds now; one that cannot be read now is
    // replaced by the list as this run knows it, and kept beside.
    std::vector<std::string> merged;
    unitdb::TextEncoding encoding = m_ignoreEncoding;
    bool unread = false;
    if (const auto found = findFile(m_files.folder, kIgnoreFile); !found.empty()) {
        const auto read = fileio::readFile(found, unitdb::kListFileLimit);
        unread = !read.ok();
        unitdb::IgnoreList list =
            read.ok() ? unitdb::parseIgnoreList(read.bytes) : unitdb::IgnoreList{m_ignoreRead};
        merged = std::move(list.names);
        encoding = read.ok() ? list.encoding : encoding;
    }
    for (const std::string& name : removed)
        std::erase(merged, name);
    for (const std::string& name : added)
        if (std::ranges::find(merged, name) == merged.end())
            merged.push_back(name);
    std::ranges::stable_sort(merged, m_nameOrder);

    const unitdb::IgnoreListBytes bytes = unitdb::ignoreListBytes(merged, encoding);
    if (!bytes.ok())
        return ListSaveFailure{
            ListSaveFailure::Why::Unwritable, merged[bytes.index], bytes.refused, {}};
    if (unread) {
        auto copy = file;
        copy += ".bak";
        const auto kept = fileio::keepCopy(file, copy, unitdb::kListFileLimit);
        if (!kept.ok())
            return ListSaveFailure{ListSaveFailure::Why::CopyFailed, {}, {}, kept};
    }
    const auto written = fileio::writeFileAtomically(file, bytes.bytes);
    if (!written.ok())
        return ListSaveFailure{ListSaveFailure::Why::WriteFailed, {}, {}, written};
    m_ignoreRead = names;
    return std::nullopt;
}

std::optional<settings::StoreStatus> Session::saveSettings()
{
    // Positions in empty lists would wipe out the user's choice for the next good start.
    if (m_databaseLoaded) {
        m_store.write("Velic", positionText(m_model.quantityPosition()));
        m_store.write("Field1", positionText(m_model.unitSlot(kInputRow)));
        for (int row = 0; row < kOutputRows; ++row)
            m_store.write("Field" + std::to_string(row + 2), positionText(m_model.unitSlot(row)));
        for (const auto& [quantity, units] : m_model.usedUnits())
            m_store.write(kUnitsValue + quantity, unitsText(units));
    }
    const bool rounding = m_runtime.rounding == settings::Rounding::On;
    m_store.write("Round", positionText(rounding ? m_runtime.decimalPlaces : -1));
    m_store.write("Launched", "1");
    m_store.write("Logging", m_runtime.logging == settings::Logging::On ? "1" : "0");
    m_store.write("Ignoring", m_runtime.ignoring == settings::Ignoring::On ? "1" : "0");
    m_store.write("Logfile", m_runtime.logFile);
    return saveSettingsNow();
}

void Session::saveHistory()
{
    if (m_history.changed())
        fileio::writeFileAtomically(m_files.folder / kHistoryFile, m_history.bytes());
}

bool Session::databaseEdited() const
{
    return m_database.changed() && !m_database.sameAsMade();
}

BaseSaveOutcome Session::saveBase(DiskChange onChange)
{
    BaseSaveOutcome outcome;
    // Held to the rename: another copy's save cannot land between the look and the write.
    const fileio::FileLock lock(fileio::folderLock(m_files.folder));
    if (isBusy(lock)) {
        outcome.saved.code = unitdb::ErrorCode::WriteFailed;
        outcome.saved.write = lockedOut(m_files.base());
        return outcome;
    }
    // A file start-up could not read has nothing to compare with; it is kept below.
    const fileio::DiskState disk =
        m_base.stamp
            ? fileio::compareWithDisk(m_files.base(), *m_base.stamp, unitdb::kBaseFileLimit)
            : fileio::DiskState::Same;
    if (disk != fileio::DiskState::Same && onChange == DiskChange::Refuse) {
        outcome.refusedFor = disk;
        return outcome;
    }
    unitdb::SaveOptions options;
    // A file the database does not hold whole keeps its original beside the new one.
    if (!m_base.whole || disk == fileio::DiskState::Unreadable)
        options.backup = unitdb::BackupMode::KeepOriginal;
    outcome.saved = unitdb::save(m_database, m_files.base(), options);
    if (outcome.saved.ok()) {
        const auto now = fileio::readFile(m_files.base(), unitdb::kBaseFileLimit);
        m_base = {true, 0, now.ok() ? std::optional(now.stamp) : std::nullopt};
    }
    return outcome;
}

unitdb::SaveResult Session::saveBaseAs(const std::filesystem::path& file)
{
    std::error_code fileError;
    std::error_code baseError;
    const auto canonical = std::filesystem::weakly_canonical(file, fileError);
    if (!fileError && canonical == std::filesystem::weakly_canonical(m_files.base(), baseError) &&
        !baseError)
        return saveBase(DiskChange::Overwrite).saved;
    unitdb::SaveOptions options;
    // Kept whole, however large: the edits are worth more than the limit of start-up's reader.
    options.limit = std::numeric_limits<std::size_t>::max();
    return unitdb::save(m_database, file, options);
}

} // namespace convmodel
