#pragma once

#include <QWidget>

class QTabBar;

// A row of tabs that may have no tab selected (selected -1), as the link table's
// stacked group strips need: a click, or the arrow keys, select a tab and report it
// with the strip's index; setting a tab from the program reports it too, as the
// control always did, so a window ignores those while it sets itself up. Below its
// row of tabs, a strip taller than the row draws a pane for what it holds.
class TabStrip : public QWidget
{
    Q_OBJECT
public:
    TabStrip(int index, int tabs, QWidget *parent);

    // The program's look of a row of tabs, for a QTabBar's style sheet: the main
    // window's tabs have it, and the strips have it with what they change of it.
    static QString tabStyleSheet();

    int index() const { return m_index; }
    int tabCount() const;

    void setCaption(int tab, const QString &caption);
    QString caption(int tab) const;

    // The selected tab, -1 for none.
    int selected() const { return m_selected; }
    void setSelected(int tab);

    // The height of the row of tabs, in pixels.
    void setRowHeight(int pixels);
    int rowHeight() const { return m_rowHeight; }

    QTabBar *tabBar() const { return m_bar; }
    // Where tab t is, in the strip's own coordinates.
    QRect tabRect(int tab) const;

signals:
    // A tab was selected: by the user, or by the program with a tab other than -1.
    void clicked(int index);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    friend class TabStripBar;
    void select(int tab);
    void markSelection();

    const int m_index;
    QTabBar *m_bar = nullptr;
    int m_selected = -1;
    int m_rowHeight = 15;
    bool m_pressing = false;
    bool m_settingCurrent = false;
};
