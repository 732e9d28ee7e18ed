// The database editor: renames units, changes coefficients and descriptions,
// adds units and categories, all straight in the unit tables.
#pragma once

#include "calc/calculator.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class Messenger;
namespace unitdb
{
struct UnitTables;
}

class DatabaseEditor : public QWidget
{
    Q_OBJECT
public:
    // `calcOptions` gives the calculator's rounding as the settings dialog holds it.
    DatabaseEditor(unitdb::UnitTables& tables, Messenger& messenger,
                   std::function<calc::CalcOptions()> calcOptions, QWidget* parent = nullptr);

    void addCategory(const QString& name);
    // Select a category or a unit as a user's click would, the handler included.
    void selectCategory(int index);
    void selectUnit(int slot);

signals:
    // "ОК" or the close button: the main window refreshes its lists and takes over.
    void handedBack();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void categoryChosen();
    void unitChosen();
    void nameChanged();
    void koefChanged();
    void koefEnter();
    void descChanged();
    void newUnit();
    void newCategory();
    void confirm();
    // Says why the text cannot be stored; empty when it can.
    enum class NameKind { Unit, Category };
    QString refusal(const QString& text, NameKind kind) const;
    void refuse(const QString& why);
    int category() const;
    int unit() const;

    unitdb::UnitTables& m_tables;
    Messenger& m_msg;
    std::function<calc::CalcOptions()> m_calcOptions;

    QComboBox* m_combo1 = nullptr;
    QListWidget* m_list1 = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_koefEdit = nullptr;
    QPlainTextEdit* m_descEdit = nullptr;
};
