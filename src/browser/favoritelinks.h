#pragma once

#include "linktable/linktablehost.h"
#include "linktable/linktablewindow.h"

#include <QObject>
#include <QPointer>


class MainWindow;

// GO_LinkTable: the main window's side of the link table window. It opens the window
// afresh each time, answers what the window asks about the page shown, and opens the
// link chosen there in the current tab, without a history entry.
class FavoriteLinks : public QObject, public LinkTableHost
{
    Q_OBJECT
public:
    explicit FavoriteLinks(MainWindow *window);

    void goLinkTable();
    // The link table window while it is open.
    LinkTableWindow *linkTable() const { return m_linkTable; }

    QString pageTitle() const override;
    QString pageAddress() const override;
    QString addressBoxText() const override;
    void chooseLink(const QString &address) override;

signals:
    // The window has closed and a chosen link, if any, is on its way.
    void linkTableClosed();

private:
    void returned();

    MainWindow *m_window;
    QPointer<LinkTableWindow> m_linkTable;
};
