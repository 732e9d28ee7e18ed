// The fold-out panel's text: the name of the unit shown (LblUnit) and its description
// (LblDesc), or the note that there is none.
#pragma once

#include "convmodel/conversionmodel.h"

#include "dialogs/flattextedit.h"

class QLabel;

class DescriptionPanel : public FlatTextEdit
{
    Q_OBJECT
public:
    // Puts the unit's caption on `window` beside the panel.
    explicit DescriptionPanel(QWidget* window);

    void showUnit(const std::optional<convmodel::Description>& description);
    // The folded panel lies below the window's edge and lays out no text until it opens.
    void setOpen(bool open);
    QLabel* caption() const { return m_caption; }

private:
    QLabel* m_caption;
    QString m_source; // the description to show
    QString m_laidOut; // the description in the box
    bool m_open = false;
};
