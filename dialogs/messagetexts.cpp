// Problem codes into the program's words. A reason from the system comes from the one errno
// table, so one error reads the same in every message.
#include "dialogs/messagetexts.h"

#include "dialogs/qthelpers.h"
#include "dialogs/uistyle.h"

#include <QFileInfo>

namespace
{

const QString kErrorTitle = QStringLiteral("Ошибка!");
const QString kLoggingOff = QStringLiteral(" Запись вычислений выключена.");

QString path(const std::filesystem::path& file)
{
    return ui::qs(file.string());
}

// The reason, and the file it concerns when that is not the file the message names.
QString writeFault(const fileio::FileWriteResult& w, const QString& named)
{
    const QString reason = fileReason(w.code, w.systemError);
    const QString file = path(w.file);
    if (file == named || QFileInfo(file).fileName() == named)
        return reason;
    return QStringLiteral("%1: %2").arg(file, reason);
}

std::pair<ErrorNumber, QString> loadFault(const unitdb::LoadResult& r)
{
    auto [number, text] = words::baseLoadFault(r);
    return {number, ui::qs(text)};
}

// Why the settings will not be kept, as start-up tells it.
QString settingsUnkeptReason(const settings::StoreStatus& s)
{
    if (s.code == settings::StoreError::FileUnread)
        return QStringLiteral("файл «%1» не удалось прочитать: %2")
            .arg(path(s.file), fileReason(s.fileError, s.systemError));
    return QStringLiteral("в папку «%1» нельзя записать: %2")
        .arg(path(s.file.parent_path()), systemReason(s.systemError));
}

Message logRefusedMessage(const convmodel::LogRefused& r)
{
    const QString name = ui::qs(r.name);
    switch (r.why) {
    case convmodel::LogRefused::Why::NoName:
        return errorMessage(ErrorNumber::BadFileName,
                            QStringLiteral("Неверное имя log-файла.") + kLoggingOff);
    case convmodel::LogRefused::Why::OwnFile:
        return errorMessage(
            ErrorNumber::FileAccess,
            QStringLiteral("Log-файл %1 - это файл программы %2.").arg(name, ui::qs(r.ownFile)) +
                kLoggingOff);
    case convmodel::LogRefused::Why::OpenFailed:
        break;
    }
    return errorMessage(
        ErrorNumber::FileAccess,
        QStringLiteral("Не удалось открыть log-файл %1: %2.").arg(name, logReason(r.failure)) +
            kLoggingOff);
}

} // namespace

Message errorMessage(ErrorNumber number, const QString& description)
{
    const bool fatal = number == ErrorNumber::FileNotFound;
    return {ui::qs(words::numberedError(number, description.toStdString())), kErrorTitle,
            fatal ? MsgIcon::Stop : MsgIcon::Exclamation};
}

Message problemMessage(const convmodel::Problem& problem)
{
    using namespace convmodel;
    if (const auto* p = std::get_if<SettingsDamaged>(&problem)) {
        QString text = QStringLiteral("Файл настроек поврежден: пропущено строк - %1. Остальные "
                                      "настройки прочитаны")
                           .arg(p->status.droppedLines);
        if (p->status.ok())
            text += QStringLiteral(", а прежний файл будет сохранен рядом как «%1»")
                        .arg(path(p->status.copy));
        return {text + QLatin1Char('.'), ui::programTitle(), MsgIcon::None};
    }
    if (const auto* p = std::get_if<SettingsUnkept>(&problem))
        return errorMessage(ErrorNumber::FileAccess,
                            QStringLiteral("Настройки не будут сохранены: %1.")
                                .arg(settingsUnkeptReason(p->status)));
    if (const auto* p = std::get_if<SettingsUnsaved>(&problem))
        return settingsSaveMessage(p->status);
    if (const auto* p = std::get_if<ListUnread>(&problem))
        return errorMessage(
            ErrorNumber::FileAccess,
            QStringLiteral("Не удалось прочитать файл %1: %2.")
                .arg(ui::qs(p->file.filename().string()), ::fileReason(p->error, p->systemError)));
    if (std::holds_alternative<BaseMissing>(problem))
        return errorMessage(ErrorNumber::FileNotFound, ui::qs(words::baseMissingText()));
    if (const auto* p = std::get_if<BaseFault>(&problem)) {
        const auto [number, text] = loadFault(p->load);
        return errorMessage(number, text);
    }
    if (const auto* p = std::get_if<AllIgnored>(&problem))
        return {QStringLiteral("Файл Ignore.ini скрывает все величины. Чтобы окно не было "
                               "пустым, величина «%1» показана; список скрытых величин можно "
                               "изменить в настройках.")
                    .arg(ui::qs(p->shown)),
                ui::programTitle(), MsgIcon::Information};
    if (const auto* p = std::get_if<LogRestarted>(&problem))
        return {QStringLiteral("Log-файл %1 был перемещён или удалён. Вычисления записываются "
                               "в новый файл %1.")
                    .arg(ui::qs(p->name)),
                ui::programTitle(), MsgIcon::Information};
    if (const auto* p = std::get_if<SingleUnit>(&problem))
        return {QStringLiteral("Раздел описания физической величины '%1 содержит только одну "
                               "единицу измерения - '%2'!")
                    .arg(ui::qs(p->quantity), ui::qs(p->unit)),
                ui::programTitle(), MsgIcon::None};
    return logRefusedMessage(std::get<LogRefused>(problem));
}

QString listSaveReason(const convmodel::ListSaveFailure& failure)
{
    using Why = convmodel::ListSaveFailure::Why;
    switch (failure.why) {
    case Why::Unwritable:
        // Only a name put in the list past the dialog's check; the words lose their period here.
        return QStringLiteral("имя величины «%1» не может быть записано: %2")
            .arg(ui::qs(failure.name), textRefusal(failure.refused).chopped(1));
    case Why::CopyFailed:
        return QStringLiteral("не удалось сохранить копию прежнего файла (%1)")
            .arg(writeFault(failure.write, {}));
    case Why::WriteFailed:
        break;
    }
    return writeFault(failure.write, QStringLiteral("Ignore.ini"));
}

QString baseSaveReason(const unitdb::SaveResult& saved, const unitdb::UnitDatabase& database,
                       const QString& file)
{
    switch (saved.code) {
    case unitdb::ErrorCode::BackupFailed:
        return QStringLiteral("не удалось сохранить прежний файл как Base.dat.bak (%1)")
            .arg(writeFault(saved.write, {}));
    case unitdb::ErrorCode::WriteFailed:
        return writeFault(saved.write, file);
    case unitdb::ErrorCode::TooLarge:
        return QStringLiteral("файл получился бы больше %1 МБ, а такой программа не прочитает")
            .arg(unitdb::kBaseFileLimit >> 20);
    default:
        break;
    }
    // The rest name a text or a coefficient in the database.
    const unitdb::Quantity& quantity = database[saved.quantity];
    QString where = QStringLiteral("в величине «%1»").arg(ui::qs(quantity.name));
    if (saved.slot)
        where += QStringLiteral(" единица «%1»").arg(ui::qs(quantity.units[*saved.slot].name));
    if (saved.code == unitdb::ErrorCode::Unencodable)
        return where +
               QStringLiteral(" содержит символ «%1», которого нет в кодировке Windows-1251")
                   .arg(QString::fromUcs4(&saved.character, 1));
    if (saved.field)
        return where + QStringLiteral(" содержит текст, который файл не может сохранить");
    if (saved.code == unitdb::ErrorCode::BadCoefficient)
        return where + QStringLiteral(": коэффициент не является числом");
    return where + QStringLiteral(": нужно число больше нуля");
}

QString baseOnDiskQuestion(fileio::DiskState disk)
{
    const QString what =
        disk == fileio::DiskState::Unreadable
            ? QStringLiteral("Файл Base.dat на диске не удаётся прочитать, чтобы сравнить с "
                             "загруженным при запуске. Записать изменения поверх него? Прежний "
                             "файл будет сохранён как Base.dat.bak.")
            : QStringLiteral("Файл Base.dat изменился на диске после запуска программы: его "
                             "могла сохранить другая копия программы. Записать изменения поверх "
                             "него?");
    return what + QStringLiteral("\n\n«Да» — перезаписать файл, «Нет» — сохранить таблицы в "
                                 "другой файл, «Отмена» — не сохранять.");
}

Message settingsSaveMessage(const settings::StoreStatus& status)
{
    if (status.code == settings::StoreError::RegistryFailed)
        // The system's own description of a Windows error code.
        return {QStringLiteral("Error: %1. %2")
                    .arg(status.systemError)
                    .arg(qt_error_string(status.systemError)),
                QStringLiteral("WriteEntry"), MsgIcon::None};
    QString reason = fileReason(status.fileError, status.systemError);
    if (status.code == settings::StoreError::CopyFailed)
        reason = QStringLiteral("не удалось сохранить прежний файл как «%1» (%2)")
                     .arg(path(status.copy), reason);
    return {QStringLiteral("Не удалось сохранить настройки в файле «%1»: %2")
                .arg(path(status.file), reason),
            ui::programTitle(), MsgIcon::None};
}

Message logWriteMessage(const QString& logFile, const convmodel::LogFailure& failure)
{
    return {
        QStringLiteral("Не удалось записать в log-файл %1: %2").arg(logFile, logReason(failure)),
        kErrorTitle, MsgIcon::Exclamation};
}

QString logReason(const convmodel::LogFailure& failure)
{
    return failure.notRegularFile ? QStringLiteral("это не обычный файл")
                                  : systemReason(failure.systemError);
}

QString systemReason(int error)
{
    return ui::qs(words::systemReason(error));
}

QString fileReason(fileio::FileError code, int error)
{
    return ui::qs(words::fileReason(code, error));
}

QString calcErrorText(calc::CalcError code)
{
    return ui::qs(words::calcErrorText(code));
}

QString unitWordText(const convmodel::UnitWordRefusal& refusal)
{
    return ui::qs(words::unitWordText(refusal));
}

QString lineProblemBrief(const convmodel::LineProblem& problem)
{
    if (std::holds_alternative<calc::Unevaluated>(problem))
        return ui::qs(words::unclosedBracketText());
    if (const auto* failure = std::get_if<calc::CalcFailure>(&problem)) {
        switch (failure->code) {
        case calc::CalcError::DivisionByZero:
            return QStringLiteral("Деление на ноль");
        case calc::CalcError::LogDomain:
            return QStringLiteral("Логарифм числа ≤ 0");
        case calc::CalcError::Overflow:
            return overflowBrief();
        default:
            return QStringLiteral("Нет значения");
        }
    }
    const auto& r = std::get<convmodel::UnitWordRefusal>(problem);
    const QString word = ui::qs(r.word);
    switch (r.code) {
    case convmodel::UnitWordError::Ambiguous:
        return QStringLiteral("«%1» — неоднозначно").arg(word);
    case convmodel::UnitWordError::OtherQuantity:
        return QStringLiteral("«%1» — это %2").arg(word, ui::qs(r.names.front()));
    case convmodel::UnitWordError::UnknownWord:
        return QStringLiteral("Нет единицы «%1»").arg(word);
    case convmodel::UnitWordError::NoUnit:
        return QStringLiteral("У числа %1 нет единицы").arg(word);
    case convmodel::UnitWordError::NoCoefficient:
        break;
    }
    return QStringLiteral("Нет коэффициента");
}

QString overflowBrief()
{
    return QStringLiteral("Переполнение");
}

QString outputShown(const convmodel::ConversionModel& model, int row)
{
    switch (model.output(row).state) {
    case convmodel::Output::State::Overflow:
        return overflowBrief();
    case convmodel::Output::State::NoValue:
        return lineProblemBrief(*model.lineProblem());
    default:
        return ui::qs(model.outputText(row));
    }
}

std::vector<Message> enterMessages(const convmodel::EnterOutcome& outcome, const QString& logFile)
{
    const convmodel::EnterResult& result = outcome.result;
    if (result.failure)
        return {{calcErrorText(result.failure->code), QStringLiteral("Ошибка"), MsgIcon::Stop}};
    if (result.refused)
        return {{::unitWordText(*result.refused), QStringLiteral("Ошибка"), MsgIcon::Stop}};
    std::vector<Message> told;
    // Typing showed the overflow in its row; Enter says why, once.
    if (result.overflowed)
        told.push_back(errorMessage(ErrorNumber::Overflow, ui::qs(words::overflowText())));
    for (const convmodel::Problem& problem : outcome.problems)
        told.push_back(problemMessage(problem));
    if (outcome.writeFailed)
        told.push_back(logWriteMessage(logFile, *outcome.writeFailed));
    return told;
}

QString textRefusal(const unitdb::TextCheck& check)
{
    switch (check.code) {
    case unitdb::ErrorCode::Unencodable:
        return QStringLiteral("Символ «%1» недопустим.")
            .arg(QString::fromUcs4(&check.character, 1));
    case unitdb::ErrorCode::OpeningQuote:
        return QStringLiteral("Кавычка в начале недопустима.");
    case unitdb::ErrorCode::QuoteInQuotedName:
        return QStringLiteral("Кавычка недопустима в имени с запятой или пробелом в начале.");
    case unitdb::ErrorCode::EndMarkerName:
        return QStringLiteral("Имя «*» недопустимо.");
    case unitdb::ErrorCode::LineBreak:
        return QStringLiteral("Перевод строки недопустим.");
    default:
        return QStringLiteral("Текст не может быть сохранён.");
    }
}

namespace
{

// "больше 51 раздела", "больше 101 единицы", "больше 52 разделов".
QString moreThan(std::size_t count, const QString& oneOf, const QString& manyOf)
{
    const bool singular = count % 10 == 1 && count % 100 != 11;
    return QStringLiteral("больше %1 %2").arg(count).arg(singular ? oneOf : manyOf);
}

} // namespace

QString editRefusal(const unitdb::EditResult& result, EditedName name)
{
    using unitdb::ErrorCode;
    switch (result.code) {
    case ErrorCode::DuplicateName:
        return name == EditedName::Unit ? QStringLiteral("Такая единица уже есть.")
                                        : QStringLiteral("Такая категория уже есть.");
    case ErrorCode::TooManyUnits:
        return QStringLiteral("В разделе не может быть %1.")
            .arg(moreThan(unitdb::kMaxUnits, QStringLiteral("единицы"), QStringLiteral("единиц")));
    case ErrorCode::TooManyCategories:
        return QStringLiteral("В базе не может быть %1.")
            .arg(moreThan(unitdb::kMaxQuantities, QStringLiteral("раздела"),
                          QStringLiteral("разделов")));
    case ErrorCode::LastUnit:
        return QStringLiteral("В разделе должна остаться хотя бы одна единица.");
    case ErrorCode::LastQuantity:
        return QStringLiteral("В базе должен остаться хотя бы один раздел.");
    case ErrorCode::BadCoefficient:
        return QStringLiteral("Это не число.");
    case ErrorCode::NotPositive:
    case ErrorCode::OutOfRange:
        return QStringLiteral("Нужно число больше нуля.");
    default:
        return textRefusal(result.text);
    }
}

QString deleteUnitQuestion(const QString& unit)
{
    return unit.isEmpty() ? QStringLiteral("Удалить единицу без названия?")
                          : QStringLiteral("Удалить единицу «%1»?").arg(unit);
}

QString deleteQuantityQuestion(const QString& quantity)
{
    return QStringLiteral("Удалить категорию «%1» со всеми её единицами?").arg(quantity);
}

QString unstoredBoxText(EditorBox box, const QString& why)
{
    return (box == EditorBox::Name ? QStringLiteral("Наименование единицы не сохранено. ")
                                   : QStringLiteral("Коэффициент не сохранён. ")) +
           why + QStringLiteral("\nИсправьте его или отмените изменение (Ctrl+Z).");
}

QString verseText()
{
    // Shown in a Qt box, so the lines break at "\n".
    return QStringLiteral("Ravlo - о единицах\n"
                          "----------------------------------------\n"
                          "Аршин и фут, верста и миля,\n"
                          "Пуд, фунт, золотник - всё в строку:\n"
                          "Число одно, а мер обилье,\n"
                          "И все ведут к тому же сроку.\n"
                          "Самара, 2004\n"
                          "\n"
                          "Хотите ещё стихов? Пишите:\n"
                          "ravlo@quorvellant.ru");
}
