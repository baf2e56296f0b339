#include "favoritelinks.h"

#include "linktable/linktablewindow.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "settings/appstate.h"

FavoriteLinks::FavoriteLinks(AppState &state, QWidget *parent, std::function<QString()> addressText)
    : QObject(parent)
    , m_state(state)
    , m_parent(parent)
    , m_addressText(std::move(addressText))
{
}

void FavoriteLinks::showLinkTable()
{
    if (m_linkTable)
        return;
    m_state.chosenLink.clear();
    m_linkTable = new LinkTableWindow(m_state, CommandCatalogue::instance(), Dialogs::instance(), *this, m_parent);
    connect(m_linkTable, &QDialog::finished, this, &FavoriteLinks::returned);
    m_linkTable->show();
}

void FavoriteLinks::returned()
{
    // The window and its record editor go; the next opening builds them anew.
    if (m_linkTable)
        m_linkTable->deleteLater();
    m_linkTable = nullptr;
    if (!m_state.chosenLink.isEmpty())
        emit linkChosen(m_state.chosenLink);
    emit linkTableClosed();
}

QString FavoriteLinks::pageTitle() const
{
    return m_state.pageTitle;
}

QString FavoriteLinks::pageAddress() const
{
    return m_state.currentURL;
}

QString FavoriteLinks::addressBoxText() const
{
    return m_addressText ? m_addressText() : QString();
}

void FavoriteLinks::chooseLink(const QString &address)
{
    m_state.chosenLink = address;
}
