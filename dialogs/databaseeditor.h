// The database editor: renames units, changes coefficients and descriptions,
// adds units and categories, all through the unit database's operations.
#pragma once

#include "dialogs/handbackdialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Messenger;
namespace unitdb
{
class UnitDatabase;
}

class FlatTextEdit;

class DatabaseEditor : public HandBackDialog
{
    Q_OBJECT
public:
    DatabaseEditor(unitdb::UnitDatabase& database, Messenger& messenger, QWidget* parent = nullptr);

    // Select a category or a unit as a user's click would, the handler included. The category
    // list is brought up to date with the database first, as it is when the editor is shown.
    void selectCategory(int index);
    void selectUnit(int slot);

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void confirm() override;
    void listCategories();
    void categoryChosen();
    void unitChosen();
    void nameEdited();
    void coefficientEdited();
    void descChanged();
    // The name and coefficient boxes are stored only here: on Enter, on leaving the box,
    // on choosing another unit or category and on "ОК". What cannot be stored stays in
    // the box with its reason beside it, and the database keeps its value.
    void commitBoxes();
    void commitName();
    void commitCoefficient();
    void newUnit();
    void newCategory();
    void showReason(QLineEdit* box, QLabel* line, const QString& why);
    void refuse(const QString& why);

    unitdb::UnitDatabase& m_db;
    Messenger& m_msg;
    // The slot the three boxes show; -1 while they show nothing.
    int m_shownCategory = -1;
    int m_shownUnit = -1;

    QComboBox* m_categoryList = nullptr;
    QListWidget* m_unitList = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_coefficientEdit = nullptr;
    FlatTextEdit* m_descEdit = nullptr;
    QLabel* m_nameReason = nullptr;
    QLabel* m_coefficientReason = nullptr;
};
