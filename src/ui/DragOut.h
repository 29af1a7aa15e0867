#pragma once

#include <QPoint>
#include <Qt>

// When dragging files out of the song table starts, and how the drag goes on, without the
// table: a left press remembers its point; a move starts the drag once it is 5 pixels or more
// away in x or in y, while the left button is still held and a row is selected.
class DragOut
{
public:
    static constexpr int kThreshold = 5;

    // What the drag does after an input: go on, drop where the pointer is, or give up.
    enum class Step { Continue, Drop, Cancel };
    // What a move means for the table: nothing (the table handles it), part of a drag that
    // has not started yet (the table must not see it, or it would narrow the selection to
    // the rows under the pointer), or the start of the drag.
    enum class Move { Table, Pending, Start };

    // lvMouseDown
    void lvMouseDown(QPoint pos, Qt::MouseButton button);
    // lvMouseMove. The drag starts once per press.
    Move lvMouseMove(QPoint pos, Qt::MouseButtons held, bool rowSelected);

    // The drag loop's question: Esc or the right button cancel; with the left button held the
    // drag goes on; once it is let go, the files drop.
    static Step queryContinue(Qt::MouseButtons held, bool escapePressed);

private:
    QPoint m_pressed;
    bool m_armed = false;
};
