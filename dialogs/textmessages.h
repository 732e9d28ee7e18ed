// The words for a text our files cannot hold, shown by every box where such text is typed.
#pragma once

#include "unitdb/textrule.h"

#include <QString>

inline QString textRefusal(const unitdb::TextCheck& check)
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
