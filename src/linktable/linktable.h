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
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString &text);
    int rows() const { return static_cast<int>(m_rows.size()); }
    void setRows(int count);

    // The header texts written by every load (Column_Titles).
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

    // Called when Save_Title applied a pending title (the window reloads its tabs).
    std::function<void()> onTitleApplied;

    void readTable();
    bool saveTable(QString *error = nullptr);
    bool saveTitle(QString *error = nullptr);
    // Sorts rows 1 to count by a column; the concealed values move with their rows.
    void sortRows(int column, Qt::CaseSensitivity sensitivity);

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
