// Helpers shared by the window tests: a small database, files in the
// program's own encoding, and controls found by their names.
#pragma once

#include "unitdb/cp1251.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QString>
#include <QWidget>

#include <fstream>
#include <sstream>
#include <string>

namespace testsupport
{

// Written in Windows-1251 with CR LF, as the program keeps its files.
inline const char* const kBase = "Длина\n"
                                 "Метр (м),1\nОсновная единица длины.\n"
                                 "Аршин (арш),0.7112\nСтарая русская мера.\n"
                                 "Сантиметр (см),0.01\n\n"
                                 "Верста,1066.8\nПятьсот саженей.\n"
                                 "Ангстрем (А),1E-10\nДля длин волн.\n"
                                 "*\n"
                                 "Масса\n"
                                 "Килограмм (кг),1\nМасса эталона.\n"
                                 "Грамм (г),0.001\nТысячная доля килограмма.\n"
                                 "Тонна (т),1000\nТысяча килограммов.\n"
                                 "*\n"
                                 "Пустая\n"
                                 "*\n"
                                 "Одна\n"
                                 "Штука (шт),1\nЕдинственная.\n"
                                 "*\n";

inline std::string crlf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

inline void writeCp1251(const QString& path, const std::string& utf8)
{
    std::ofstream(path.toStdString(), std::ios::binary) << unitdb::encodeCp1251(crlf(utf8)).bytes;
}

inline std::string readBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

template <typename T> T* child(QWidget* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (!found)
        qFatal("no control %s", qPrintable(name));
    return found;
}

// Types text key by key; unlike QTest::keyClicks it takes any letter, Cyrillic included.
inline void typeText(QWidget* widget, const QString& text)
{
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

// A number text as the program shows it under the user's separator: num("0.5").
inline QString num(const char* text)
{
    return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

} // namespace testsupport
