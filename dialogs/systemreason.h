// The system's reason for a failed file operation, in the program's own Russian
// words, for every message that passes such a reason on to the user.
#pragma once

#include "fileio/fileerror.h"

#include <QString>

// «нет такого файла» for ENOENT, «доступ запрещён» for EACCES and so on; a code
// without words of its own is «системная ошибка N».
QString systemReason(int error);

// Why a file could not be read or replaced: the system's reason, or the file
// reader's own (not a regular file, too large).
QString fileReason(fileio::FileError code, int error);
