#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QProcess>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

// Drives modal windows that open inside one another. Each step runs once its window
// (by object name, or by class for Qt's own dialogs and menus) is the active popup or
// modal window and the window manager has shown it, in the order the steps were added.
// A step must not block: whatever opens the next modal window goes through post(), so
// the step returns first and the next step can run inside the new window's loop.
//
// When a step's window does not come, the script fails the test and closes the modal
// windows it finds, so a broken program cannot hang the test in a nested loop.
class ModalScript : public QObject
{
public:
    explicit ModalScript(int timeoutMs = 20000)
        : m_timeoutMs(timeoutMs)
    {
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start();
        m_sinceStep.start();
    }

    void on(const char *window, std::function<void(QWidget *)> step)
    {
        m_steps.append({QString::fromLatin1(window), std::move(step)});
    }

    bool finished() const { return m_steps.isEmpty(); }

    // Runs the action once the current step has returned.
    static void post(QObject *context, std::function<void()> action)
    {
        QTimer::singleShot(0, context, std::move(action));
    }

    // The window manager's close of a window, as its close button or Alt+F4 does it.
    // The window must go on answering while the window manager activates it, so the
    // keys are sent from a process of their own, not waited for here.
    static void closeByWindowManager(QWidget *window)
    {
        QProcess::startDetached(QStringLiteral("xdotool"),
                                {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                 QString::number(window->winId()), QStringLiteral("key"),
                                 QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")});
    }

    // Waits (without blocking the windows) until every step has run and no modal
    // window is left.
    bool waitUntilDone(int timeoutMs = 30000)
    {
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < timeoutMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (finished() && !QApplication::activeModalWidget() && !QApplication::activePopupWidget())
                return true;
        }
        return false;
    }

private:
    struct Step
    {
        QString window;
        std::function<void(QWidget *)> run;
    };

    static bool matches(QWidget *w, const QString &name)
    {
        return w->objectName() == name || w->inherits(name.toLatin1().constData());
    }

    void poll()
    {
        if (m_steps.isEmpty()) {
            m_sinceStep.restart();
            return;
        }
        QWidget *front = QApplication::activePopupWidget();
        if (!front)
            front = QApplication::activeModalWidget();
        if (front && front->isVisible() && matches(front, m_steps.front().window) && front->windowHandle()
            && front->windowHandle()->isExposed()) {
            const Step step = m_steps.takeFirst();
            ++m_done;
            m_sinceStep.restart();
            step.run(front);
            return;
        }
        if (m_sinceStep.elapsed() > m_timeoutMs) {
            QWidget *open = QApplication::activeModalWidget();
            ADD_FAILURE() << "the window " << m_steps.front().window.toStdString() << " of step " << m_done + 1
                          << " did not come (open: " << (open ? open->objectName().toStdString() : "none") << ")";
            m_steps.clear();
            while (QWidget *w = QApplication::activePopupWidget())
                w->close();
            while (QWidget *w = QApplication::activeModalWidget()) {
                w->close();
                QCoreApplication::processEvents();
            }
        }
    }

    QList<Step> m_steps;
    QTimer m_timer;
    QElapsedTimer m_sinceStep;
    int m_timeoutMs;
    int m_done = 0;
};
