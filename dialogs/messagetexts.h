// The words of every problem message: the core hands back codes, and this is where they
// become the program's Russian texts, with the error numbers users have always seen.
#pragma once

#include "convmodel/session.h"
#include "dialogs/messenger.h"
#include "words/problemwords.h"

#include <QString>

#include <vector>

// The historic error numbers, with the words they share with the command line.
using ErrorNumber = words::ErrorNumber;

struct Message {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
};

// «Ошибка № N: …», titled «Ошибка!»; a fatal one carries the stop sign.
Message errorMessage(ErrorNumber number, const QString& description);

// A start-up problem, or one met by Enter's log entry.
Message problemMessage(const convmodel::Problem& problem);

// Why Ignore.ini or Base.dat could not be saved, for «Не удалось сохранить файл …: %1».
QString listSaveReason(const convmodel::ListSaveFailure& failure);
QString baseSaveReason(const unitdb::SaveResult& saved, const unitdb::UnitDatabase& database,
                       const QString& file);

// Shut-down's question when Base.dat is not what start-up read: Yes, No (another file), Cancel.
QString baseOnDiskQuestion(fileio::DiskState disk);

// A failed save of the settings.
Message settingsSaveMessage(const settings::StoreStatus& status);

// A log entry that could not be written.
Message logWriteMessage(const QString& logFile, const convmodel::LogFailure& failure);

// Why the log cannot be used.
QString logReason(const convmodel::LogFailure& failure);

// «нет такого файла» for ENOENT, «доступ запрещён» for EACCES and so on; a code without words
// of its own is «системная ошибка N». The C library's own texts are English.
QString systemReason(int error);
// Why a file could not be read or replaced: the system's reason, or the file layer's own.
QString fileReason(fileio::FileError code, int error);

// The author's verse, shown by the keyword typed in the input line.
QString verseText();

// The calculator's refusals, shown by every box that evaluates.
QString calcErrorText(calc::CalcError code);
// A unit word the input line cannot take, told on Enter.
QString unitWordText(const convmodel::UnitWordRefusal& refusal);
// Why the line has no value, in a few words for the output rows.
QString lineProblemBrief(const convmodel::LineProblem& problem);
// «Переполнение»: what a row shows, and the log writes, for a value past the double range.
QString overflowBrief();
// What an output row shows: its value, the overflow, or why the line has no value.
QString outputShown(const convmodel::ConversionModel& model, int row);
// What Enter has to tell, in order: the refusal of the line, or the overflow and the log's
// problems.
std::vector<Message> enterMessages(const convmodel::EnterOutcome& outcome, const QString& logFile);

// A text our files cannot hold, refused where it is typed.
QString textRefusal(const unitdb::TextCheck& check);

// Why the database refused an edit of the editor, a unit's name or a new quantity's.
enum class EditedName { Unit, Quantity };
QString editRefusal(const unitdb::EditResult& result, EditedName name = EditedName::Unit);

// The editor's questions before a deletion, and what «ОК» says of a box it cannot store.
QString deleteUnitQuestion(const QString& unit);
QString deleteQuantityQuestion(const QString& quantity);
enum class EditorBox { Name, Coefficient };
QString unstoredBoxText(EditorBox box, const QString& why);
