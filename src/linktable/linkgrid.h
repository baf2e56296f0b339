#pragma once

#include <QTableView>

class LinkTable;

// The grid of the link table window: the links of the current group. Row 0 of the
// table is the header and is shown as the column headers; column 0 (the row number) is
// the fixed column, and a press on it selects the whole row (columns 1 to 6). Clicks and
// double-clicks are reported once each, with the current cell already moved, as the
// window's rules read them.
class LinkGrid : public QTableView
{
    Q_OBJECT
public:
    LinkGrid(LinkTable *table, QWidget *parent);

    LinkTable *table() const { return m_table; }

    int row() const;
    int column() const;
    // Makes a cell current (and selected) as a click would.
    void setCell(int row, int column);
    // The first and last selected columns of the current row (0, 0 when nothing is).
    int selectionStart() const;
    int selectionEnd() const;
    // Whether columns 1 to 6 of the current row are selected (a click on the row number).
    bool wholeRowSelected() const;

    // Column width in twips; 0 hides the column.
    void setColumnTwips(int column, int twips);
    int columnTwips(int column) const;
    // The height of one row in twips.
    int rowTwips() const;

signals:
    void cellClicked();
    void cellDoubleClicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void selectRow(int row);
    void afterReset();

    LinkTable *m_table;
    bool m_pressed = false;
    bool m_doubleClicked = false;
    int m_keepRow = 1;
    int m_keepColumn = 1;
};
