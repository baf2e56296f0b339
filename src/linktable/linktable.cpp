#include "linktable.h"

#include "platform/textfile.h"

#include <QFileInfo>

#include <algorithm>
#include <numeric>

const QString LinkTable::kMask = QStringLiteral("********");

LinkTable::LinkTable(QString base, LinkFiles::GroupList *groups, QObject *parent)
    : QAbstractTableModel(parent)
    , m_base(std::move(base))
    , m_groups(groups)
{
    setGroup(0);
    setRows(1);
}

int LinkTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows();
}

int LinkTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant LinkTable::data(const QModelIndex &index, int role) const
{
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::AccessibleTextRole:
        if (index.column() == 4 && !concealed(index.row()).isEmpty())
            return kMask;
        return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant LinkTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return cell(0, section);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignCenter);
    return {};
}

QString LinkTable::cell(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= kColumns)
        return {};
    return m_rows.at(row).at(column);
}

void LinkTable::setCell(int row, int column, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= kColumns)
        return;
    m_rows[row][column] = text;
    emit dataChanged(index(row, column), index(row, column));
}

void LinkTable::setRows(int count)
{
    count = std::max(1, count);
    beginResetModel();
    while (m_rows.size() < count)
        m_rows.append(QStringList(kColumns, QString()));
    while (m_rows.size() > count)
        m_rows.removeLast();
    endResetModel();
}

void LinkTable::setGroup(int group)
{
    m_group = group;
    m_fileName = LinkFiles::groupPath(m_base, group);
}

void LinkTable::setConcealed(int row, const QString &value)
{
    if (row < 0)
        return;
    while (m_concealed.size() <= row)
        m_concealed.append(QString());
    m_concealed[row] = value;
}

void LinkTable::readTable()
{
    beginResetModel();
    for (QStringList &row : m_rows)
        row = QStringList(kColumns, QString());
    endResetModel();
    if (m_rows.isEmpty())
        setRows(1);
    for (int c = 0; c < kColumns; ++c)
        m_rows[0][c] = m_headers.value(c);

    m_count = m_groups->countOf(m_group + 1);
    m_concealed = QStringList(m_count + 2, QString());
    setRows(std::max(m_minimumRows, m_count + 1));
    for (int c = 0; c < kColumns; ++c)
        m_rows[0][c] = m_headers.value(c);

    const auto lines = TextFile::readLines(m_fileName);
    if (lines) {
        for (int r = 1; r <= m_count; ++r) {
            if (r - 1 >= lines->size())
                break; // the rows of missing lines stay blank and go at the next save
            const QStringList pieces = lines->at(r - 1).split(LinkFiles::kSeparator);
            m_rows[r][0] = QString::number(r);
            for (int c = 1; c <= LinkFiles::kFields; ++c)
                m_rows[r][c] = LinkFiles::decodeField(pieces.value(c - 1));
            m_concealed[r] = m_rows[r][4];
            if (!m_concealed[r].isEmpty())
                m_rows[r][4] = kMask;
        }
        m_visible = true;
    }
    emit dataChanged(index(0, 0), index(rows() - 1, kColumns - 1));
}

void LinkTable::sortRows(int column, Qt::CaseSensitivity sensitivity)
{
    const int n = std::min(m_count, rows() - 1);
    if (n < 2)
        return;
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return QString::compare(m_rows[a][column], m_rows[b][column], sensitivity) < 0;
    });
    QList<QStringList> rowsCopy = m_rows;
    QStringList concealedCopy = m_concealed;
    for (int i = 0; i < n; ++i) {
        m_rows[i + 1] = rowsCopy[order[i]];
        const int from = order[i];
        setConcealed(i + 1, from < concealedCopy.size() ? concealedCopy[from] : QString());
    }
    emit dataChanged(index(1, 0), index(n, kColumns - 1));
}

void LinkTable::sortOnScreen(int column)
{
    setRows(m_count + 1);
    sortRows(column, Qt::CaseInsensitive);
    for (int r = 1; r <= m_count && r < rows(); ++r)
        m_rows[r][0] = QString::number(r);
    setRows(std::max(m_minimumRows, m_count + 1));
}

void LinkTable::showRows()
{
    setRows(std::max(m_minimumRows, m_count + 1));
    for (int r = 1; r <= m_count && r < rows(); ++r) {
        m_rows[r][0] = QString::number(r);
        m_rows[r][4] = concealed(r).isEmpty() ? QString() : kMask;
    }
    m_visible = true;
    emit dataChanged(index(0, 0), index(rows() - 1, kColumns - 1));
}

QString LinkTable::shownText(const QString &addressBoxText)
{
    constexpr int kShown = 100;
    if (addressBoxText.size() <= kShown)
        return addressBoxText;
    // Never half a character: a pair of surrogates stays whole or goes whole.
    const int cut = addressBoxText.at(kShown - 1).isHighSurrogate() ? kShown - 1 : kShown;
    return addressBoxText.left(cut) + QStringLiteral("..");
}

bool LinkTable::addLink(const QString &title, const QString &address, const QString &addressBoxText,
                        const QString &date)
{
    if (title.isEmpty() || m_count >= LinkFiles::kMaxLinks)
        return false;
    for (int r = 1; r <= m_count && r < rows(); ++r) {
        if (m_rows[r][1] == title)
            return false;
    }
    ++m_count;
    if (m_count >= rows())
        setRows(m_count + 1);
    QStringList &row = m_rows[m_count];
    row = QStringList{QString::number(m_count), title, address, QString(), QString(), shownText(addressBoxText),
                      date};
    setConcealed(m_count, QString());
    m_groups->entry(m_group + 1).count = u' ' + QString::number(m_count);
    emit dataChanged(index(m_count, 0), index(m_count, kColumns - 1));
    return true;
}

bool LinkTable::saveTable(QString *error)
{
    m_count = m_groups->countOf(m_group + 1);
    m_visible = false;
    setRows(m_count + 1);
    sortRows(1, Qt::CaseSensitive);

    LinkFiles::Group &entry = m_groups->entry(m_group + 1);
    QList<QStringList> kept{m_rows.value(0, QStringList(kColumns, QString()))};
    QStringList keptConcealed{QString()};
    QStringList lines;
    for (int r = 1; r <= m_count && r < rows(); ++r) {
        if (m_rows[r][1].isEmpty())
            continue;
        QStringList fields;
        for (int c : {1, 2, 3})
            fields.append(LinkFiles::encodeField(m_rows[r][c]));
        fields.append(LinkFiles::encodeField(concealed(r)));
        for (int c : {5, 6})
            fields.append(LinkFiles::encodeField(m_rows[r][c]));
        lines.append(fields.join(LinkFiles::kSeparator));
        kept.append(m_rows[r]);
        keptConcealed.append(concealed(r));
    }
    const int keptCount = static_cast<int>(lines.size());
    if (keptCount < m_count)
        entry.count = QString::number(keptCount);
    beginResetModel();
    m_rows = kept;
    keptConcealed.append(QString());
    m_concealed = keptConcealed;
    m_count = keptCount;
    endResetModel();

    const bool written = TextFile::writeLines(m_fileName, lines, error);
    m_modified = !written;
    const bool titles = saveTitle(written ? error : nullptr);
    return written && titles;
}

bool LinkTable::saveTitle(QString *error)
{
    if (!m_pendingTitle.isEmpty()) {
        m_groups->entry(m_group + 1).title = m_pendingTitle;
        m_pendingTitle.clear();
        if (onTitleApplied)
            onTitleApplied();
    }
    return LinkFiles::saveTitles(m_base, *m_groups, error);
}
