#include "tabstrip.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QTabBar>
#include <QWheelEvent>

namespace {

// The program's tab look: white selected tab, pale blue others, on a light blue row.
const char *kTabStyle = R"(
QTabBar { background: rgb(197, 224, 254); }
QTabBar::tab {
    color: rgb(64, 64, 64);
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(162, 187, 225));
    border: 1px solid rgb(128, 128, 128);
    border-bottom: none;
    border-top-left-radius: 5px;
    border-top-right-radius: 5px;
    padding: 1px 6px;
    min-height: 16px;
}
QTabBar::tab:selected { background: white; color: black; }
QTabBar::tab:disabled { background: palette(button); color: rgb(160, 160, 160); }
)";

// What a strip changes of it: the strips stand on their window's own background in a
// stack, their tabs share a narrow row, the pointer lights the tab under it, the
// selected tab is bold, and a strip with no selected tab draws its current tab like the
// others.
const char *kStripStyle = R"(
QTabBar { background: transparent; }
QTabBar::tab { padding: 0px 1px; margin: 0px; min-height: 0px; }
QTabBar::tab:hover:!selected {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(255, 226, 160));
}
QTabBar::tab:selected { font-weight: bold; }
QTabBar[noneSelected="true"]::tab:selected {
    color: rgb(64, 64, 64);
    font-weight: normal;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(162, 187, 225));
}
QTabBar[noneSelected="true"]::tab:selected:hover {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(255, 226, 160));
}
)";

} // namespace

// Every tab gets an equal share of the strip, whatever its caption; long captions are
// cut with an ellipsis.
class TabStripBar : public QTabBar
{
public:
    explicit TabStripBar(TabStrip *strip)
        : QTabBar(strip)
        , m_strip(strip)
    {
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        const int n = std::max(1, count());
        const int share = width() / n;
        const int w = index == n - 1 ? width() - share * (n - 1) : share;
        return {std::max(1, w), m_strip->rowHeight()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton) {
            event->accept();
            return;
        }
        const int tab = tabAt(event->position().toPoint());
        m_strip->m_pressing = true;
        QTabBar::mousePressEvent(event);
        m_strip->m_pressing = false;
        if (tab >= 0)
            m_strip->select(tab);
    }

    // Turning the wheel over a stack of strips would flick through groups unasked.
    void wheelEvent(QWheelEvent *event) override { event->ignore(); }

private:
    TabStrip *m_strip;
};

TabStrip::TabStrip(int index, int tabs, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
{
    setObjectName(QStringLiteral("TabF%1").arg(index));
    auto *bar = new TabStripBar(this);
    m_bar = bar;
    m_bar->setObjectName(QStringLiteral("TabF%1Bar").arg(index));
    m_bar->setStyleSheet(tabStyleSheet() + QString::fromLatin1(kStripStyle));
    m_bar->setDrawBase(false);
    m_bar->setExpanding(true);
    m_bar->setUsesScrollButtons(false);
    m_bar->setElideMode(Qt::ElideRight);
    QFont small = m_bar->font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
    m_bar->setFont(small);
    for (int t = 0; t < tabs; ++t)
        m_bar->addTab(QString());
    // Arrow keys change the current tab without a press.
    connect(m_bar, &QTabBar::currentChanged, this, [this](int tab) {
        if (!m_pressing && !m_settingCurrent && tab >= 0)
            select(tab);
    });
    markSelection();
}

QString TabStrip::tabStyleSheet()
{
    return QString::fromLatin1(kTabStyle);
}

int TabStrip::tabCount() const
{
    return m_bar->count();
}

void TabStrip::setCaption(int tab, const QString &caption)
{
    if (tab < 0 || tab >= m_bar->count())
        return;
    m_bar->setTabText(tab, caption);
    // A caption cut short is read in full in its tooltip, shown as the plain text it is.
    m_bar->setTabToolTip(tab, caption.isEmpty() ? QString()
                                                : QStringLiteral("<qt>") + caption.toHtmlEscaped()
                                                      + QStringLiteral("</qt>"));
}

QString TabStrip::caption(int tab) const
{
    return m_bar->tabText(tab);
}

void TabStrip::setSelected(int tab)
{
    if (tab < -1 || tab >= m_bar->count() || tab == m_selected)
        return;
    if (tab == -1) {
        m_selected = -1;
        markSelection();
        return;
    }
    select(tab);
}

void TabStrip::select(int tab)
{
    m_selected = tab;
    if (m_bar->currentIndex() != tab) {
        m_settingCurrent = true;
        m_bar->setCurrentIndex(tab);
        m_settingCurrent = false;
    }
    markSelection();
    emit clicked(m_index);
}

void TabStrip::markSelection()
{
    const bool none = m_selected < 0;
    if (m_bar->property("noneSelected").toBool() == none && m_bar->property("noneSelected").isValid())
        return;
    m_bar->setProperty("noneSelected", none);
    m_bar->style()->unpolish(m_bar);
    m_bar->style()->polish(m_bar);
    m_bar->update();
}

void TabStrip::setRowHeight(int pixels)
{
    m_rowHeight = std::max(1, pixels);
    m_bar->setGeometry(0, 0, width(), std::min(height(), m_rowHeight));
    m_bar->updateGeometry();
    update();
}

QRect TabStrip::tabRect(int tab) const
{
    return m_bar->tabRect(tab).translated(m_bar->pos());
}

void TabStrip::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(0, 0, width(), std::min(height(), m_rowHeight));
}

void TabStrip::paintEvent(QPaintEvent *)
{
    if (height() <= m_rowHeight)
        return;
    QPainter painter(this);
    const QRect pane(0, m_rowHeight - 1, width() - 1, height() - m_rowHeight);
    painter.setPen(QColor(128, 128, 128));
    painter.setBrush(Qt::white);
    painter.drawRect(pane);
}
