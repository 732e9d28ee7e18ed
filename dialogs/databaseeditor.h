// The database editor: renames units, changes coefficients and descriptions, adds and
// deletes units and categories, and takes changes back, all through the database's operations.
#pragma once

#include "dialogs/handbackdialog.h"
#include "unitdb/unitdatabase.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class Messenger;

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
    // The category chosen, and the unit the boxes show (none while no unit is chosen).
    unitdb::Place chosenUnit() const;
    // False when a box holds what cannot be stored (see below).
    bool commitBoxes();

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
    // The boxes are stored only here, each a step that can be taken back: on Enter (name,
    // coefficient), on leaving the box, on choosing another unit or category, before any other
    // change, on "ОК" and when the program ends with the editor open. What cannot be stored
    // stays in the box with its reason under it, and the database keeps its value:
    // commitName() and commitCoefficient() return that reason.
    QString commitName();
    QString commitCoefficient();
    void commitDescription();
    void newUnit();
    void newCategory();
    void deleteUnit();
    void deleteCategory();
    // Undo or redo: the database's step, shown where it left the database.
    void takeStep(std::optional<unitdb::Place> (unitdb::UnitDatabase::*step)());
    // Selects the quantity and the unit of a place, each only when there is one.
    void showPlace(const std::optional<unitdb::Place>& place);
    // Empty and disabled while no unit is chosen.
    void clearBoxes();
    void updateButtons();
    void showReason(QLineEdit* box, QLabel* line, const QString& why);
    void refuse(const QString& why);
    bool ask(const QString& question); // Yes or No

    unitdb::UnitDatabase& m_db;
    Messenger& m_msg;
    // The slot the three boxes show; -1 while they show nothing.
    int m_shownCategory = -1;
    int m_shownUnit = -1;
    QString m_descKept; // the description box's last text that the file can hold

    QComboBox* m_categoryList = nullptr;
    QListWidget* m_unitList = nullptr;
    QLineEdit* m_nameEdit = nullptr;
    QLineEdit* m_coefficientEdit = nullptr;
    FlatTextEdit* m_descEdit = nullptr;
    QLabel* m_nameReason = nullptr;
    QLabel* m_coefficientReason = nullptr;
    QPushButton* m_deleteUnitButton = nullptr;
    QPushButton* m_deleteCategoryButton = nullptr;
    QPushButton* m_undoButton = nullptr;
    QPushButton* m_redoButton = nullptr;
};
