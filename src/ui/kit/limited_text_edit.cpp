#include "ui/kit/limited_text_edit.h"

#include <QKeyEvent>
#include <QMimeData>

namespace zelmora {

namespace {

bool isLineBreak(QChar c)
{
    return c == u'\n' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

int storedWeight(QChar c)
{
    return isLineBreak(c) ? 2 : 1;
}

} // namespace

LimitedTextEdit::LimitedTextEdit(int limit, QWidget *parent) :
    QPlainTextEdit(parent), m_limit(limit)
{
    // Tab moves on to the next input, as in the other text boxes of the window.
    setTabChangesFocus(true);
}

int LimitedTextEdit::storedLength(const QString &editorText)
{
    int length = 0;
    for (QChar c : editorText)
        length += storedWeight(c);
    return length;
}

QString LimitedTextEdit::crlfText() const
{
    // toPlainText() would turn no-break spaces into plain ones; the raw text
    // keeps every character and marks line breaks as separators.
    QString text = document()->toRawText();
    QString result;
    result.reserve(text.size() + 8);
    for (QChar c : text) {
        if (isLineBreak(c))
            result += QStringLiteral("\r\n");
        else
            result += c;
    }
    return result;
}

void LimitedTextEdit::setCrlfText(const QString &text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    setPlainText(plain);
}

int LimitedTextEdit::room() const
{
    const int used = storedLength(document()->toRawText());
    const int freed = storedLength(textCursor().selectedText());
    return m_limit - (used - freed);
}

QString LimitedTextEdit::fitting(const QString &text) const
{
    int left = room();
    qsizetype end = 0;
    while (end < text.size()) {
        const bool pair = text.at(end).isHighSurrogate() && end + 1 < text.size()
            && text.at(end + 1).isLowSurrogate();
        const int weight = pair ? 2 : storedWeight(text.at(end));
        if (weight > left)
            break;
        left -= weight;
        end += pair ? 2 : 1;
    }
    return text.left(end);
}

void LimitedTextEdit::keyPressEvent(QKeyEvent *event)
{
    QString typed;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!(event->modifiers() & Qt::ControlModifier))
            typed = QStringLiteral("\n");
    } else if (!event->text().isEmpty() && event->text().at(0).isPrint()
               && !(event->modifiers() & Qt::ControlModifier)) {
        typed = event->text();
    }
    if (!typed.isEmpty() && fitting(typed).size() < typed.size()) {
        event->accept(); // the box is full: the key is swallowed, as at any limit
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || !source->hasText() || isReadOnly())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    const QString kept = fitting(text);
    if (kept.isEmpty() && !textCursor().hasSelection())
        return;
    textCursor().insertText(kept);
    ensureCursorVisible();
}

void LimitedTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = event->commitString();
    const QString kept = commit.isEmpty() ? commit : fitting(commit);
    if (kept.size() == commit.size()) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent shortened(event->preeditString(), event->attributes());
    shortened.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&shortened);
    event->accept();
}

} // namespace zelmora
