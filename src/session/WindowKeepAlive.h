#pragma once

#include <QCoreApplication>

// The keep-alive the window gives a long step on its own thread (a sort, a search, a delete or
// a move of a million songs): it paints and runs its timers, but takes no input meanwhile, so
// that no second edit starts in the middle of one.
inline void keepWindowAlive()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
