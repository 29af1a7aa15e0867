#include "ui/OutputBoxFill.h"

#include "core/KeepAlive.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Lines a piece: a few milliseconds of the document's work.
constexpr qsizetype kPieceLines = 4096;

} // namespace

void fillOutputBox(QPlainTextEdit &box, const QStringList &lines, const std::function<void()> &keepAlive)
{
    if (lines.size() <= kPieceLines || !keepAlive) {
        // One repaint for the whole list.
        box.setUpdatesEnabled(false);
        box.setPlainText(lines.join(QLatin1Char('\n')));
        box.setUpdatesEnabled(true);
        return;
    }
    // Undo would record every piece; setPlainText keeps no history either.
    box.setUndoRedoEnabled(false);
    box.clear();
    QTextCursor cursor(box.document());
    KeepAlive alive(keepAlive);
    QString piece;
    for (qsizetype at = 0; at < lines.size(); at += kPieceLines) {
        piece.clear();
        const qsizetype end = std::min(lines.size(), at + kPieceLines);
        for (qsizetype i = at; i < end; ++i) {
            if (i > 0)
                piece += QLatin1Char('\n');
            piece += lines[i];
        }
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(piece);
        alive.now();
    }
    box.setUndoRedoEnabled(true);
    box.moveCursor(QTextCursor::Start);
}
