// The find box: a popup with a line edit over a list of the units whose names hold what
// was typed. It only reports the unit chosen; the conversion window selects it.
#pragma once

#include "unitdb/unitsearch.h"

#include <QFrame>

#include <optional>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

class FindBox : public QFrame
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 50;

    FindBox(const unitdb::UnitDatabase& database, QWidget* parent);

    // Shows the box empty just below `anchor`, over the units of `categories` (database
    // positions, in the order of the window's category list).
    void popUp(const std::vector<int>& categories, const QWidget* anchor);

signals:
    // `list` is the quantity's position in the category list, `slot` the unit's slot.
    void unitChosen(int list, int slot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Pixels the widest row of the quantities listed needs, the box's frame included.
    int widestRow() const;
    void refill();
    void choose(const QListWidgetItem* item);

    const unitdb::UnitDatabase& m_db;
    std::vector<int> m_categories;
    std::optional<unitdb::UnitSearch> m_search;
    QLineEdit* m_text = nullptr;
    QListWidget* m_list = nullptr;
};
