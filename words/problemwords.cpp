// Problem codes into the program's words, written once for the window and the command line.
#include "words/problemwords.h"

#include <cerrno>

namespace words
{

using convmodel::UnitWordError;
using convmodel::UnitWordRefusal;

namespace
{

std::string quotedList(const std::vector<std::string>& names)
{
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "«" : ", «") + name + "»";
    return list;
}

} // namespace

std::string numberedError(ErrorNumber number, std::string_view description)
{
    return "Ошибка № " + std::to_string(static_cast<int>(number)) + ": " + std::string(description);
}

std::string systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return "нет такого файла или папки";
    case EACCES:
    case EPERM:
        return "доступ запрещён";
    case EROFS:
        return "файловая система только для чтения";
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT: // a full quota looks to the user like a full disk
#endif
        return "диск заполнен";
    case EISDIR:
        return "это папка, а не файл";
    case ENOTDIR:
        return "часть пути не является папкой";
    case EIO:
        return "ошибка ввода-вывода";
    case EFBIG:
    case EOVERFLOW:
        return "файл больше допустимого размера";
    case ELOOP:
        return "слишком много символических ссылок (возможно, ссылка на саму "
               "себя)";
    case ENAMETOOLONG:
        return "слишком длинное имя файла";
    case EINVAL:
    case EILSEQ:
        return "недопустимое имя файла или действие с ним";
    // A FIFO without a reader, a device without its hardware: opened without waiting.
    case ENXIO:
    case ENODEV:
        return "устройство или канал недоступны";
    case EAGAIN:
#if defined(EWOULDBLOCK) && EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        return "файл занят, попробуйте позже";
    case EBUSY:
    case ETXTBSY:
        return "файл занят другой программой";
    case EMFILE:
    case ENFILE:
        return "открыто слишком много файлов";
    case ENOMEM:
        return "недостаточно памяти";
    case EEXIST:
    case ENOTEMPTY:
        return "файл с таким именем уже есть";
    case EXDEV:
        return "файл нельзя перенести на другой диск";
    case EMLINK:
        return "слишком много ссылок на файл";
    case EINTR:
        return "действие прервано";
    case EBADF:
        return "файл уже закрыт";
#ifdef ENOLCK
    case ENOLCK:
        return "файл нельзя заблокировать";
#endif
#ifdef ESTALE
    case ESTALE:
#endif
    case ETIMEDOUT:
    case ENOTCONN:
        return "сетевой диск недоступен";
    case ENOTSUP:
#if defined(EOPNOTSUPP) && EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return "файловая система не поддерживает это действие";
    default:
        return "системная ошибка " + std::to_string(error);
    }
}

std::string fileReason(fileio::FileError code, int error)
{
    if (code == fileio::FileError::NotRegularFile && error != EISDIR)
        return "это не обычный файл, а устройство или канал";
    if (code == fileio::FileError::TooLarge)
        return "файл слишком велик";
    if (code == fileio::FileError::Locked)
        return "файл занят: его сохраняет другая копия программы";
    if (code == fileio::FileError::Link)
        return "на этом месте стоит символическая ссылка";
    return systemReason(error);
}

std::string calcErrorText(calc::CalcError code)
{
    switch (code) {
    case calc::CalcError::DivisionByZero:
        return "Деление на ноль не допускается!";
    case calc::CalcError::LogDomain:
        return "Аргумент логарифма неположителен!";
    case calc::CalcError::Overflow:
        return overflowText();
    case calc::CalcError::NoRealValue:
    case calc::CalcError::NotFinite:
        break;
    }
    return "Результат не является действительным числом!";
}

std::string unclosedBracketText()
{
    return "Скобка не закрыта";
}

std::string overflowText()
{
    return "Переполнение! Не используйте числа больше 10^300.";
}

std::string unitWordText(const UnitWordRefusal& r)
{
    const std::string word = "«" + r.word + "»";
    switch (r.code) {
    case UnitWordError::Ambiguous:
        return word + " может означать разные единицы: " + quotedList(r.names) +
               ". Напишите обозначение так, как оно стоит в скобках.";
    case UnitWordError::OtherQuantity:
        return word + " — единица другой величины: " + quotedList(r.names) + ".";
    case UnitWordError::UnknownWord:
        return "Единицы " + word + " у этой величины нет.";
    case UnitWordError::NoUnit:
        return "После числа " + r.word + " нет единицы: допишите её или поставьте знак действия.";
    case UnitWordError::NoCoefficient:
        break;
    }
    return "У единицы " + word + " нет коэффициента для пересчёта.";
}

std::string baseMissingText()
{
    return "Файл Base.dat не найден. Верните его на место, либо переустановите программу.";
}

std::pair<ErrorNumber, std::string> baseLoadFault(const unitdb::LoadResult& r)
{
    using unitdb::ErrorCode;
    const std::string where = "Файл Base.dat, строка " + std::to_string(r.line) + ": ";
    const std::string tail = " Загружено то, что стоит до этой строки.";
    switch (r.code) {
    case ErrorCode::FileUnread:
        if (r.fileError == fileio::FileError::TooLarge)
            return {ErrorNumber::OutOfMemory, "Файл Base.dat слишком велик для базы единиц."};
        return {ErrorNumber::FileAccess, "Не удалось прочитать файл Base.dat: " +
                                             fileReason(r.fileError, r.systemError) + "."};
    case ErrorCode::EmptyFile:
        return {ErrorNumber::PastEndOfFile,
                "Файл Base.dat пуст: в нём нет ни одной величины. Добавьте величины в редакторе "
                "базы или верните файл на место."};
    case ErrorCode::MissingCoefficient:
    case ErrorCode::BadCoefficient:
        return {ErrorNumber::TypeMismatch, where + "коэффициент не является числом." + tail};
    case ErrorCode::NotPositive:
        return {ErrorNumber::TypeMismatch, where + "коэффициент должен быть больше нуля." + tail};
    case ErrorCode::OutOfRange:
        return {ErrorNumber::Overflow, where + "коэффициент слишком велик или слишком мал." + tail};
    case ErrorCode::InvalidUtf8:
        return {ErrorNumber::FileAccess,
                where + "байты, которые не являются текстом UTF-8." + tail};
    case ErrorCode::TooManyCategories:
        return {ErrorNumber::OutOfRange, where + "разделов больше 51." + tail};
    case ErrorCode::TooManyUnits:
        return {ErrorNumber::OutOfRange, where + "единиц в разделе больше 101." + tail};
    case ErrorCode::UnexpectedEnd:
        return {ErrorNumber::PastEndOfFile, where + "файл кончается внутри раздела." + tail};
    default:
        return {ErrorNumber::PastEndOfFile, where + "запись испорчена." + tail};
    }
}

} // namespace words
