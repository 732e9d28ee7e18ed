// A wrapping text box for one flat text, without line breaks, however long: a description.
// Qt lays out a run without a blank in time that grows with the square of its length (a
// megabyte took minutes), so such a run is shown cut into paragraphs of a few hundred
// characters, which look like the lines the box would break it into anyway.
#pragma once

#include <QPlainTextEdit>

// The text with each line break (CR LF, CR, LF, U+2028, U+2029) turned into a blank.
QString flattened(QString text);

class FlatTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit FlatTextEdit(QWidget* parent);

    // Every paragraph end in the box is such a cut: Enter types a blank, and a pasted or
    // dropped line break becomes one, so text() is the paragraphs joined. (setPlainText()
    // would make its line breaks cuts too.)
    void setText(const QString& text);
    QString text() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
};
