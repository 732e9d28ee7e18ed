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
    QLabel* caption() const { return m_caption; }

private:
    QLabel* m_caption;
    QString m_source; // the description shown
};
