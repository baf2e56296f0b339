#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QKeyEvent;
class QWidget;
class WebBrowser;

// The input that reaches any widget of the main window, looked at before the widget
// gets it: a click, a key or a drop in a page is noted as the user's (what the page
// asks for right after is theirs); nothing reaches the window while a page's dialog is
// open; and the keys every browser has (F5, Alt+Left/Right, Ctrl+F, Ctrl+L, Escape,
// F12), wherever the focus is, are turned into the window's requests.
class WindowInput : public QObject
{
    Q_OBJECT
public:
    // pageOf: the tab's page that holds a widget, null for none.
    WindowInput(QWidget *window, std::function<WebBrowser *(QWidget *)> pageOf, QWidget *findBar);
    ~WindowInput() override;

    // The keys act once the window has loaded (F12 always does).
    void setKeysActive(bool active) { m_keysActive = active; }

signals:
    // A command, as a click on its button would run it.
    void commandRequested(int index, const QString &key);
    void findRequested();
    void addressBoxRequested();
    void fillScreenRequested();
    // Escape while a command waits for a page.
    void waitCancelRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleKey(QWidget *target, QKeyEvent *key);

    QWidget *m_window;
    std::function<WebBrowser *(QWidget *)> m_pageOf;
    QWidget *m_findBar;
    bool m_keysActive = false;
};
