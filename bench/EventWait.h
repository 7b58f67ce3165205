#pragma once

#include <functional>

#include <QEventLoop>
#include <QTimer>

// QTest's waits poll the event loop every few milliseconds, and the engine's messages wait for
// each poll: a page load would take seconds. A real event loop waits as the program does.
inline bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return done();
}

inline void pause(int ms)
{
    waitFor([] { return false; }, ms);
}
