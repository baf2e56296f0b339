#include "linkgrid.h"

#include "linktable/linktable.h"
#include "platform/twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// The fixed column is drawn like the headers, the rest as plain cells.
class GridDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == 0) {
            option->backgroundBrush = QColor(228, 236, 247);
            option->displayAlignment = Qt::AlignRight | Qt::AlignVCenter;
            option->palette.setColor(QPalette::Text, QColor(64, 64, 64));
            option->state &= ~QStyle::State_Selected;
        }
    }
};

const char *kGridStyle = R"(
QTableView {
    background: white;
    gridline-color: rgb(192, 203, 222);
    border: 1px solid rgb(128, 128, 128);
    selection-background-color: rgb(193, 210, 238);
    selection-color: black;
}
QHeaderView::section {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 white, stop:1 rgb(197, 224, 254));
    color: rgb(11, 45, 91);
    border: none;
    border-right: 1px solid rgb(160, 180, 210);
    border-bottom: 1px solid rgb(128, 128, 128);
    padding: 1px 2px;
}
)";

} // namespace

LinkGrid::LinkGrid(LinkTable *table, QWidget *parent)
    : QTableView(parent)
    , m_table(table)
{
    setObjectName(QStringLiteral("GridList"));
    setModel(table);
    setItemDelegate(new GridDelegate(this));
    setStyleSheet(QString::fromLatin1(kGridStyle));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    verticalHeader()->hide();
    // The small type of the group tabs, so the date fits its column.
    QFont small = font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() - 1));
    setFont(small);
    horizontalHeader()->setFont(small);
    const int rowHeight = fontMetrics().height() + 5;
    verticalHeader()->setMinimumSectionSize(rowHeight);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setMinimumSectionSize(0);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(table, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (currentIndex().isValid()) {
            m_keepRow = currentIndex().row();
            m_keepColumn = currentIndex().column();
        }
    });
    connect(table, &QAbstractItemModel::modelReset, this, &LinkGrid::afterReset);
    afterReset();
}

void LinkGrid::afterReset()
{
    // A reload keeps the current cell where it was, as far as the rows reach.
    setRowHidden(0, true);
    const int rows = m_table->rows();
    if (rows > 1)
        setCurrentIndex(m_table->index(std::clamp(m_keepRow, 1, rows - 1), std::clamp(m_keepColumn, 1, 6)));
}

int LinkGrid::row() const
{
    return currentIndex().isValid() ? currentIndex().row() : 0;
}

int LinkGrid::column() const
{
    return currentIndex().isValid() ? currentIndex().column() : 0;
}

void LinkGrid::setCell(int row, int column)
{
    if (column == 0) {
        selectRow(row);
        return;
    }
    const QModelIndex index = m_table->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void LinkGrid::selectRow(int row)
{
    const QModelIndex first = m_table->index(row, 1);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(first, m_table->index(row, LinkTable::kColumns - 1)),
                             QItemSelectionModel::ClearAndSelect);
}

int LinkGrid::selectionStart() const
{
    int first = 0;
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (index.row() == row() && (first == 0 || index.column() < first))
            first = index.column();
    }
    return first;
}

int LinkGrid::selectionEnd() const
{
    int last = 0;
    for (const QModelIndex &index : selectionModel()->selectedIndexes()) {
        if (index.row() == row())
            last = std::max(last, index.column());
    }
    return last;
}

bool LinkGrid::wholeRowSelected() const
{
    return row() > 0 && selectionStart() == 1 && selectionEnd() == LinkTable::kColumns - 1;
}

void LinkGrid::setColumnTwips(int column, int twips)
{
    setColumnHidden(column, twips <= 0);
    if (twips > 0)
        setColumnWidth(column, Twips::toPixelsX(twips));
}

int LinkGrid::columnTwips(int column) const
{
    return isColumnHidden(column) ? 0 : static_cast<int>(Twips::fromPixelsX(columnWidth(column)));
}

int LinkGrid::rowTwips() const
{
    return static_cast<int>(Twips::fromPixelsY(verticalHeader()->defaultSectionSize()));
}

void LinkGrid::mousePressEvent(QMouseEvent *event)
{
    m_pressed = false;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid() && index.column() == 0) {
        selectRow(index.row());
        m_pressed = true;
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
    m_pressed = event->button() == Qt::LeftButton && index.isValid();
}

void LinkGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    const bool click = m_pressed && !m_doubleClicked && event->button() == Qt::LeftButton;
    m_pressed = false;
    m_doubleClicked = false;
    if (click)
        emit cellClicked();
}

void LinkGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid()) {
        event->accept();
        return;
    }
    // The press of a double-click is the second click: it moves the cell, and the
    // release that ends it is no click of its own.
    if (index.column() == 0)
        selectRow(index.row());
    else if (currentIndex() != index)
        setCell(index.row(), index.column());
    m_doubleClicked = true;
    event->accept();
    emit cellDoubleClicked();
}

void LinkGrid::keyPressEvent(QKeyEvent *event)
{
    // From the keyboard: Space is a click on the current cell, Enter a double-click.
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        if (event->key() == Qt::Key_Space) {
            emit cellClicked();
            event->accept();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            emit cellDoubleClicked();
            event->accept();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}
