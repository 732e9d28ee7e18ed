// Start-up and shut-down without windows: the order of the steps, the first run's values, the
// positions the lists had last time, and saving only what may be saved.
#include "convmodel/session.h"

#include "calc/numbertext.h"
#include "convmodel/ownfiles.h"
#include "settings/storednames.h"
#include "unitdb/ignorefile.h"
#include "unitdb/report.h"
#include "unitdb/unitsort.h"

#include <algorithm>
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

bool blankOnly(std::string_view text)
{
    return text.find_first_not_of(" \t\r\n\v\f") == std::string_view::npos;
}

std::string positionText(int position)
{
    return std::to_string(position);
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
        // An unread list is never replaced by an empty one at shut-down.
        m_ignoreUnread = !read.ok();
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
    m_loaded = m_database;

    std::ranges::stable_sort(ignored, m_nameOrder);
    m_runtime.ignoredCategories = std::move(ignored);
    listQuantities();

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

    for (const auto& single : unitdb::singleUnitCategories(m_database))
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
    for (const unitdb::Quantity& q : m_database.quantities())
        if (!m_firstRun && !used.contains(q.name))
            if (auto units = parseUnits(m_store.read(kUnitsValue + q.name, "")))
                used[q.name] = *units;
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
    for (const unitdb::Quantity& q : m_database.quantities())
        names.push_back(q.name);
    return names;
}

void Session::listQuantities()
{
    const auto& ignored = m_runtime.ignoredCategories;
    std::vector<std::size_t> listed;
    for (std::size_t i = 0; i < m_database.size(); ++i)
        if (std::ranges::find(ignored, m_database[i].name) == ignored.end())
            listed.push_back(i);
    m_model.setListed(std::move(listed));
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
    // The quantity shown was hidden: the first one left takes its place.
    if (m_model.quantityPosition() < 0 && !m_model.listed().empty())
        m_model.selectQuantity(0);
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
                                           m_files.folder / kHistoryFile};
    if (!m_files.settingsFile.empty())
        own.push_back(m_files.settingsFile);
    return sameFile(m_files.folder / logName, own);
}

void Session::openLog(CalcLog::Mode mode)
{
    const std::string& name = m_runtime.logFile;
    LogRefused refused{LogRefused::Why::OpenFailed, name, {}, {}};
    if (blankOnly(name)) {
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
    outcome.writeFailed = m_log.write(m_model.logLines(before, overflowText));
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
    // A list that could not be read is replaced only when there is something to put in its
    // place, and then a copy of it is kept.
    if (m_ignoreUnread && names.empty())
        return std::nullopt;
    const unitdb::IgnoreListBytes bytes = unitdb::ignoreListBytes(names, m_ignoreEncoding);
    if (!bytes.ok())
        return ListSaveFailure{
            ListSaveFailure::Why::Unwritable, names[bytes.index], bytes.refused, {}};
    const auto file = m_files.folder / kIgnoreFile;
    if (m_ignoreUnread) {
        auto copy = file;
        copy += ".bak";
        const auto kept = fileio::keepCopy(file, copy, unitdb::kListFileLimit);
        if (!kept.ok())
            return ListSaveFailure{ListSaveFailure::Why::CopyFailed, {}, {}, kept};
    }
    const auto written = fileio::writeFileAtomically(file, bytes.bytes);
    if (!written.ok())
        return ListSaveFailure{ListSaveFailure::Why::WriteFailed, {}, {}, written};
    m_ignoreUnread = false;
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
    return m_database.changed() && !(m_database == m_loaded);
}

fileio::DiskState Session::baseOnDisk() const
{
    // A file that was never read has nothing to compare with.
    if (!m_base.stamp)
        return fileio::DiskState::Same;
    return fileio::compareWithDisk(m_files.base(), *m_base.stamp, unitdb::kBaseFileLimit);
}

unitdb::SaveResult Session::saveBase(const std::filesystem::path& file)
{
    std::error_code ec;
    const bool toBase = std::filesystem::weakly_canonical(file, ec) ==
                        std::filesystem::weakly_canonical(m_files.base(), ec);
    unitdb::SaveOptions options;
    // A file the database does not hold whole keeps its original beside the new one.
    if (toBase && !m_base.whole)
        options.backup = unitdb::BackupMode::KeepOriginal;
    const unitdb::SaveResult saved = unitdb::save(m_database, file, options);
    if (saved.ok() && toBase) {
        const auto now = fileio::readFile(m_files.base(), unitdb::kBaseFileLimit);
        m_base = {true, 0, now.ok() ? std::optional(now.stamp) : std::nullopt};
    }
    return saved;
}

} // namespace convmodel
