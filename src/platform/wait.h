#pragma once

#include <QObject>

#include <functional>

// The one place where the program waits on the user-interface thread. A wait runs a
// nested event loop, so the window repaints and the web engine keeps loading; while
// one runs, the main window starts no other command and defers a close request.
class Wait : public QObject
{
    Q_OBJECT
public:
    // Lets the window and the engine work for ms milliseconds.
    static void sleep(int ms);
    // Waits until done() is true, checking every stepMs, for at most timeoutMs
    // (negative: no limit). True when done() became true.
    static bool until(const std::function<bool()> &done, int timeoutMs, int stepMs = 20);
    // As until(), and done() is also checked at once whenever source emits signal, so
    // what the wait is for ends it without waiting for the next step.
    template <typename Source, typename Signal>
    static bool until(const std::function<bool()> &done, int timeoutMs, int stepMs, Source *source, Signal signal)
    {
        return untilWoken(done, timeoutMs, stepMs, [source, signal](QObject *context, const std::function<void()> &check) {
            return QObject::connect(source, signal, context, check);
        });
    }
    // Lets pending events run once.
    static void pendingEvents();

    static bool active();
    // Emits idle() when the outermost wait has ended.
    static Wait *notifier();

signals:
    void idle();

private:
    using Wake = std::function<QMetaObject::Connection(QObject *context, const std::function<void()> &check)>;
    static bool untilWoken(const std::function<bool()> &done, int timeoutMs, int stepMs, const Wake &wake);

    static int s_depth;
};
