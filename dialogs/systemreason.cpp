// errno values as the Russian reasons the messages give; the C library's own texts are English.
#include "dialogs/systemreason.h"

#include <cerrno>

QString systemReason(int error)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("нет такого файла или папки");
    case EACCES:
    case EPERM:
        return QStringLiteral("доступ запрещён");
    case EROFS:
        return QStringLiteral("файловая система только для чтения");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT: // a full quota looks to the user like a full disk
#endif
        return QStringLiteral("диск заполнен");
    case EISDIR:
        return QStringLiteral("это папка, а не файл");
    case ENOTDIR:
        return QStringLiteral("часть пути не является папкой");
    case EIO:
        return QStringLiteral("ошибка ввода-вывода");
    case EFBIG:
        return QStringLiteral("файл больше допустимого размера");
    case ELOOP:
        return QStringLiteral("слишком много символических ссылок");
    default:
        return QStringLiteral("системная ошибка %1").arg(error);
    }
}

QString fileReason(fileio::FileError code, int error)
{
    if (code == fileio::FileError::NotRegularFile && error != EISDIR)
        return QStringLiteral("это не обычный файл, а устройство или канал");
    if (code == fileio::FileError::TooLarge)
        return QStringLiteral("файл слишком велик");
    return systemReason(error);
}
