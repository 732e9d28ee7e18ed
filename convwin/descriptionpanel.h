// The fold-out panel's text: the name of the unit shown (LblUnit) and its description
// (LblDesc), or the note that there is none.
#pragma once

#include "convmodel/conversionmodel.h"

#include <QPlainTextEdit>

class QLabel;

class DescriptionPanel : public QPlainTextEdit
{
    Q_OBJECT
public:
    // Puts the unit's caption on `window` beside the panel.
    explicit DescriptionPanel(QWidget* window);

    void showUnit(const std::optional<convmodel::Description>& description);
    QLabel* caption() const { return m_caption; }

    // The description as the panel shows it: a long run without blanks cut into paragraphs.
    static QString panelText(const QString& description);

private:
    QLabel* m_caption;
    QString m_source; // the description shown, before panelText()
};
