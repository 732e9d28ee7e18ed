// The words for the calculator's failures, shown by every box that evaluates.
#pragma once

#include "calc/calculator.h"

#include <QString>

inline QString calcErrorText(calc::CalcError code)
{
    switch (code) {
    case calc::CalcError::DivisionByZero:
        return QStringLiteral("Деление на ноль не допускается!");
    case calc::CalcError::LogDomain:
        return QStringLiteral("Аргумент логарифма неположителен!");
    case calc::CalcError::Overflow:
        return QStringLiteral("Переполнение! Не используйте числа больше 10^300.");
    case calc::CalcError::NoRealValue:
    case calc::CalcError::NotFinite:
        break;
    }
    return QStringLiteral("Результат не является действительным числом!");
}
