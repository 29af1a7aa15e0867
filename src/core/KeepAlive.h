#pragma once

#include <QElapsedTimer>

#include <functional>

// Lets a long loop keep its window painted: tick() in the loop calls the callback once 50 ms
// have passed since the last call (the clock is looked at every 1024 ticks only), so that no
// freeze lasts longer than about 100 ms. An empty callback makes ticking free.
class KeepAlive
{
public:
    explicit KeepAlive(const std::function<void()> &callback) : m_callback(callback)
    {
        if (m_callback)
            m_since.start();
    }

    void tick()
    {
        if (!m_callback || (++m_count & 1023) != 0)
            return;
        now();
    }
    // Between steps that each take long: looks at the clock every time.
    void now()
    {
        if (m_callback && m_since.elapsed() >= 50) {
            m_callback();
            m_since.restart();
        }
    }

private:
    const std::function<void()> &m_callback;
    QElapsedTimer m_since;
    unsigned m_count = 0;
};
