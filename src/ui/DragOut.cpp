#include "ui/DragOut.h"

#include <cstdlib>

void DragOut::lvMouseDown(QPoint pos, Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    m_pressed = pos;
    m_armed = true;
}

DragOut::Move DragOut::lvMouseMove(QPoint pos, Qt::MouseButtons held, bool rowSelected)
{
    if (!m_armed || !(held & Qt::LeftButton) || !rowSelected)
        return Move::Table;
    if (std::abs(pos.x() - m_pressed.x()) < kThreshold && std::abs(pos.y() - m_pressed.y()) < kThreshold)
        return Move::Pending;
    m_armed = false;
    return Move::Start;
}

DragOut::Step DragOut::queryContinue(Qt::MouseButtons held, bool escapePressed)
{
    if (escapePressed || (held & Qt::RightButton))
        return Step::Cancel;
    if (held & Qt::LeftButton)
        return Step::Continue;
    return Step::Drop;
}
