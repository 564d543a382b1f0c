#pragma once

#include <QPlainTextEdit>

namespace zelmora {

// The multi-line text box of a page. The page set holds its text with CR LF
// line breaks, so the input limit counts each line break as the two
// characters it becomes there; the limit then bounds the stored text exactly.
// Typing, pasting, dropping and input-method commits all stop at the limit.
// Text set by the program is taken whole, as a text box's limit only ever
// bounded the user's input.
class LimitedTextEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LimitedTextEdit(int limit, QWidget *parent = nullptr);

    int limit() const { return m_limit; }

    // The text as the page set holds it, line breaks as CR LF.
    QString crlfText() const;
    void setCrlfText(const QString &text);

    // The length the text has in the page set.
    static int storedLength(const QString &editorText);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    // How many stored characters may still be typed, counting the selection
    // as free since typing replaces it.
    int room() const;
    // The longest start of text that fits in room(), never splitting a
    // surrogate pair.
    QString fitting(const QString &text) const;

    int m_limit;
};

} // namespace zelmora
