#pragma once

#include "linktable/linkfiles.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <functional>

// The links of the current group as the link table window's grid holds them: row 0 is
// the header, rows 1 to count the links (column 0 the row number, columns 1 to 6 the
// fields), then empty filler rows up to the minimum. Concealed values live in a list
// of their own, one per row, and the grid shows only a mask; the list moves with its
// rows through every sort.
class LinkTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int kColumns = 7;
    static const QString kMask;

    LinkTable(QString base, LinkFiles::GroupList *groups, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // A cell's text for display and editing; a concealed cell names itself by its mask
    // to accessibility, whatever it shows.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The header row (row 0) as the view's column headers, centred.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    int rows() const { return static_cast<int>(m_rows.size()); }
    void setRows(int count);

    // The header texts, which every load writes into row 0.
    void setHeaders(const QStringList &headers) { m_headers = headers; }

    int group() const { return m_group; }
    void setGroup(int group);
    QString fileName() const { return m_fileName; }
    int count() const { return m_count; }
    int minimumRows() const { return m_minimumRows; }
    void setMinimumRows(int rows) { m_minimumRows = rows; }
    bool visible() const { return m_visible; }
    bool modified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }
    QString pendingTitle() const { return m_pendingTitle; }
    void setPendingTitle(const QString &title) { m_pendingTitle = title; }

    QString concealed(int row) const { return m_concealed.value(row); }
    void setConcealed(int row, const QString &value);

    // Called when saveTitle() applied a pending title (the window reloads its tabs).
    std::function<void()> onTitleApplied;

    void readTable();
    // Writes the group's file. Rows without a title are dropped here as well as in the
    // file, so a failed write leaves the table as it would have read back; the modified
    // flag then stays set.
    bool saveTable(QString *error = nullptr);
    bool saveTitle(QString *error = nullptr);
    // Sorts rows 1 to count by a column; the concealed values move with their rows.
    void sortRows(int column, Qt::CaseSensitivity sensitivity);
    // The SORT command: filler rows kept out, case ignored, rows renumbered, then the
    // filler rows back.
    void sortOnScreen(int column);
    // The rows after a save that could not be written: numbered, masked and padded
    // with filler rows again, as a load would show them.
    void showRows();

    // A link for the page, unless the title is empty, already in the group, or the
    // group is full. The display text is cut to 100 characters and "..".
    bool addLink(const QString &title, const QString &address, const QString &addressBoxText,
                 const QString &date);
    static QString shownText(const QString &addressBoxText);

private:
    QString m_base;
    LinkFiles::GroupList *m_groups;
    QList<QStringList> m_rows;
    QStringList m_concealed;
    QStringList m_headers;
    int m_group = 0;
    QString m_fileName;
    int m_count = 0;
    int m_minimumRows = 0;
    bool m_visible = true;
    bool m_modified = false;
    QString m_pendingTitle;
};
