#pragma once

#include <QString>

// What the link table window asks of the window that opens it, and what it hands back:
// the page shown there (its title, its address and the text of its address box) and the
// link the user chose. The main window answers it; a test can stand in.
class LinkTableHost
{
public:
    virtual ~LinkTableHost() = default;

    virtual QString pageTitle() const = 0;
    virtual QString pageAddress() const = 0;
    virtual QString addressBoxText() const = 0;
    // The address of the link chosen in the window; empty when none was.
    virtual void chooseLink(const QString &address) = 0;
};
