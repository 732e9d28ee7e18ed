// The cuts are paragraph ends, so that typing re-lays out one short paragraph, not the whole
// text; and every paragraph end is a cut, so that undo and redo, which Qt keeps, stay exact.
#include "dialogs/flattextedit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace
{

// Longest run without a blank that the box shows as one paragraph.
constexpr qsizetype kLongestRun = 256;

QString withCuts(const QString& text)
{
    QString cut;
    cut.reserve(text.size() + text.size() / kLongestRun);
    qsizetype run = 0;
    for (const QChar ch : text) {
        run = ch.isSpace() ? 0 : run + 1;
        if (run > kLongestRun) {
            cut += QChar::ParagraphSeparator;
            run = 1;
        }
        cut += ch;
    }
    return cut;
}

} // namespace

QString flattened(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (const QChar lineBreak : {QChar(u'\r'), QChar(u'\n'), QChar(QChar::ParagraphSeparator),
                                  QChar(QChar::LineSeparator)})
        text.replace(lineBreak, QLatin1Char(' '));
    return text;
}

FlatTextEdit::FlatTextEdit(QWidget* parent) : QPlainTextEdit(parent)
{
    // A word wider than the box breaks where the line ends instead of running off it.
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
}

void FlatTextEdit::setText(const QString& text)
{
    setPlainText(withCuts(text));
}

QString FlatTextEdit::text() const
{
    // The raw text keeps no-break spaces, which toPlainText() would make blanks.
    return document()->toRawText().remove(QChar::ParagraphSeparator);
}

void FlatTextEdit::keyPressEvent(QKeyEvent* event)
{
    if (!isReadOnly() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        textCursor().insertText(QStringLiteral(" "));
        ensureCursorVisible();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FlatTextEdit::insertFromMimeData(const QMimeData* source)
{
    if (isReadOnly() || !source->hasText())
        return;
    textCursor().insertText(withCuts(flattened(source->text())));
    ensureCursorVisible();
}

QMimeData* FlatTextEdit::createMimeDataFromSelection() const
{
    auto* data = new QMimeData;
    data->setText(textCursor().selectedText().remove(QChar::ParagraphSeparator));
    return data;
}
