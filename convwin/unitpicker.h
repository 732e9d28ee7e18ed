// A unit list of the conversion window: the user's choice, by the list or by a unit's first
// letter, goes out as a slot; what the model chose comes in without echo.
#pragma once

#include <QComboBox>

class UnitPicker : public QComboBox
{
    Q_OBJECT
public:
    // `spokenName` is what assistive technology calls the list, rather than its current unit.
    UnitPicker(const QString& objectName, const QString& spokenName, QRect geometry,
               QWidget* parent);

    // The quantity's units, none chosen.
    void setUnits(const QStringList& names);
    // The open list is as wide as its longest name.
    void showPopup() override;
    // The model's choice; -1 for none.
    void showSlot(int slot);

signals:
    void unitChosen(int slot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // True when the key was a letter the list jumps by.
    bool jumpByLetter(const QKeyEvent& key);
    bool m_showing = false;
    bool m_widthKnown = false;     // the open list's width fits the names it holds
    QObject* m_openList = nullptr; // the list view, once made
};
