// Helpers shared by the window tests: a small database, files in the
// program's own encoding, and controls found by their names.
#pragma once

#include "convmodel/session.h"
#include "convwin/conversionwindow.h"
#include "dialogs/qthelpers.h"
#include "dialogs/tests/scriptedmessenger.h"
#include "unitdb/cp1251.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace testsupport
{

// Written in Windows-1251 with CR LF, as the program keeps its files.
inline const char* const kBase = "Длина\nМетр (м),1\nОсновная единица длины.\n"
                                 "Аршин (арш),0.7112\nСтарая русская мера.\n"
                                 "Сантиметр (см),0.01\n\n"
                                 "Верста,1066.8\nПятьсот саженей.\n"
                                 "Ангстрем (А),1E-10\nДля длин волн.\n"
                                 "*\n"
                                 "Масса\nКилограмм (кг),1\nМасса эталона.\n"
                                 "Грамм (г),0.001\nТысячная доля килограмма.\n"
                                 "Тонна (т),1000\nТысяча килограммов.\n"
                                 "*\n"
                                 "Пустая\n*\n"
                                 "Одна\nШтука (шт),1\nЕдинственная.\n"
                                 "*\n";

// The input row's unit list, then the four output rows' lists.
inline const QStringList kUnitLists{"InUnit", "OutUnit_0", "OutUnit_1", "OutUnit_2", "OutUnit_3"};

inline std::string crlf(std::string text)
{
    for (auto i = text.find('\n'); i != std::string::npos; i = text.find('\n', i + 2))
        text.insert(i, 1, '\r');
    return text;
}

inline void writeCp1251(const QString& path, const std::string& utf8)
{
    std::ofstream(path.toStdString(), std::ios::binary) << unitdb::encodeCp1251(crlf(utf8)).bytes;
}

inline std::string readBytes(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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

// Replaces a line's text as a user does: everything selected, then typed over.
inline void retype(QLineEdit* line, const QString& text)
{
    line->setFocus();
    line->selectAll();
    typeText(line, text);
}

// A number text as the program shows it under the user's separator: num("0.5").
inline QString num(const char* text)
{
    return QString::fromLatin1(text).replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

// A fresh folder with the sample Base.dat, and a window over a session on it with its own
// settings file and scripted message boxes.
class WindowFixture
{
protected:
    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedMessenger m_msg;
    std::unique_ptr<convmodel::Session> m_session;
    std::unique_ptr<ConversionWindow> m_window;

    QString path(const QString& name) const { return m_dir->filePath(name); }
    QString registry() const { return path(QStringLiteral("registry.reg")); }
    unitdb::UnitDatabase& db() { return m_session->database(); }
    const unitdb::UnitDatabase& db() const { return m_session->database(); }

    void makeFolder()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        writeCp1251(path(QStringLiteral("Base.dat")), kBase);
    }
    void removeFolder()
    {
        m_window.reset();
        m_session.reset();
        m_dir.reset();
    }
    // A new window over a fresh session, started; what start-up showed stays in m_msg.
    bool start(const QString& settingsFile = {})
    {
        m_window.reset();
        m_session = std::make_unique<convmodel::Session>(
            convmodel::DataFiles{
                m_dir->path().toStdString(),
                (settingsFile.isEmpty() ? registry() : settingsFile).toStdString()},
            ConversionWindow::caption().toStdString(), ui::decimalSeparator(),
            ui::alphabeticalOrder);
        m_msg.messages.clear();
        m_window = std::make_unique<ConversionWindow>(*m_session, m_msg);
        return m_window->startUp();
    }
    // Changes the run-time settings as the settings dialog would hand them back.
    template <typename Change> void changeSettings(Change change)
    {
        settings::RuntimeSettings values = m_session->runtime();
        change(values);
        m_session->setRuntime(values);
    }
    void writeRegistry(const QString& values)
    {
        std::ofstream(registry().toStdString(), std::ios::binary)
            << "Windows Registry Editor Version 5.00\r\n\r\n"
               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorvellant\\Metrovanta\\Settings]\r\n"
            << values.toStdString();
    }
    template <typename T> T* control(const QString& name) { return child<T>(m_window.get(), name); }
    QComboBox* list(const QString& name) { return control<QComboBox>(name); }
    QLineEdit* line(const QString& name) { return control<QLineEdit>(name); }
    QStringList items(const QString& name)
    {
        QStringList texts;
        for (int i = 0; i < list(name)->count(); ++i)
            texts << list(name)->itemText(i);
        return texts;
    }
    void click(QWidget* root, const QString& button)
    {
        QTest::mouseClick(child<QAbstractButton>(root, button), Qt::LeftButton);
    }
};

} // namespace testsupport
