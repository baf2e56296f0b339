#pragma once

#include "linktable/linktablehost.h"
#include "linktable/linktablewindow.h"

#include <QObject>
#include <QPointer>

#include <functional>

struct AppState;
class QWidget;

// The main window's side of the link table window. It opens the window afresh each
// time, answers what the window asks about the page shown, and hands the link chosen
// there on to be opened.
class FavoriteLinks : public QObject, public LinkTableHost
{
    Q_OBJECT
public:
    // addressText: the text of the address box, as the window shows it.
    FavoriteLinks(AppState &state, QWidget *parent, std::function<QString()> addressText);

    // Opens the link table window (once: a second request while it is open does
    // nothing).
    void showLinkTable();
    // The link table window while it is open.
    LinkTableWindow *linkTable() const { return m_linkTable; }

    QString pageTitle() const override;
    QString pageAddress() const override;
    QString addressBoxText() const override;
    void chooseLink(const QString &address) override;

signals:
    // The window closed with this link chosen: it opens in the current tab, without a
    // history entry.
    void linkChosen(const QString &address);
    // The window has closed (after linkChosen, when a link was chosen).
    void linkTableClosed();

private:
    void returned();

    AppState &m_state;
    QWidget *m_parent;
    std::function<QString()> m_addressText;
    QPointer<LinkTableWindow> m_linkTable;
};
