#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QVariantList>

class WebBrowser;
class QWidget;

// Knows when the screen shows a tab's page again after its view changed size (the bars
// hidden or shown): the engine has laid the page out at the new size, has drawn a frame
// of it since, and that frame has been painted in the window. Made before the change,
// asked after it.
class PageFrame : public QObject
{
    Q_OBJECT
public:
    explicit PageFrame(WebBrowser *web);
    ~PageFrame() override;

    // Returns once the page is shown whole at its view's size now, or when limitMs have
    // passed; true in the first case.
    bool waitUntilShown(int limitMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<WebBrowser> m_web;
    QList<QPointer<QWidget>> m_surfaces;
    QSize m_viewSize;
    QVariantList m_pageSize;
    int m_paints = 0;
};
