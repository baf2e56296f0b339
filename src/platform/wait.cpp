#include "wait.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

int Wait::s_depth = 0;

namespace {

struct Depth
{
    explicit Depth(int &d) : depth(d) { ++depth; }
    ~Depth()
    {
        if (--depth == 0)
            emit Wait::notifier()->idle();
    }
    int &depth;
};

} // namespace

Wait *Wait::notifier()
{
    static Wait instance;
    return &instance;
}

bool Wait::active()
{
    return s_depth > 0;
}

void Wait::sleep(int ms)
{
    Depth depth(s_depth);
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Wait::until(const std::function<bool()> &done, int timeoutMs, int stepMs)
{
    return untilWoken(done, timeoutMs, stepMs, {});
}

bool Wait::untilWoken(const std::function<bool()> &done, int timeoutMs, int stepMs, const Wake &wake)
{
    if (done())
        return true;
    Depth depth(s_depth);
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(stepMs);
    bool result = false;
    const std::function<void()> check = [&] {
        if (result)
            return;
        if (done()) {
            result = true;
            loop.quit();
        } else if (timeoutMs >= 0 && clock.elapsed() >= timeoutMs) {
            loop.quit();
        }
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    QMetaObject::Connection woken;
    if (wake)
        woken = wake(&loop, check);
    poll.start();
    loop.exec();
    QObject::disconnect(woken);
    return result;
}

void Wait::pendingEvents()
{
    QCoreApplication::processEvents();
}
