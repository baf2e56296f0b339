#include "imagelist.h"

#include "platform/textfile.h"

#include <QHash>

ImageList::ImageList(QList<QIcon> icons, QStringList keys)
    : m_icons(std::move(icons))
    , m_keys(std::move(keys))
{
}

const ImageList &ImageList::main()
{
    static const ImageList list = [] {
        QList<QIcon> icons;
        QStringList keys;
        const QStringList lines = TextFile::readLines(QStringLiteral(":/images/index.txt")).value_or(QStringList());
        for (const QString &line : lines) {
            const QStringList parts = line.split(u' ');
            if (parts.size() < 2)
                continue;
            icons.append(QIcon(QStringLiteral(":/images/") + parts.at(0) + QStringLiteral(".png")));
            keys.append(parts.at(1));
        }
        return ImageList(icons, keys);
    }();
    return list;
}

const ImageList &ImageList::window(const QString &name)
{
    static const QHash<QString, ImageList> lists = [] {
        QHash<QString, QList<QIcon>> icons;
        const QStringList lines = TextFile::readLines(QStringLiteral(":/images/windows.txt")).value_or(QStringList());
        for (const QString &line : lines) {
            const QStringList parts = line.split(u' ');
            if (parts.size() < 2)
                continue;
            QList<QIcon> &list = icons[parts.at(0)];
            const int index = parts.at(1).toInt();
            while (list.size() <= index)
                list.append(QIcon());
            list[index] = QIcon(QStringLiteral(":/images/") + parts.at(0) + u'-' + parts.at(1) + QStringLiteral(".png"));
        }
        QHash<QString, ImageList> result;
        for (auto it = icons.cbegin(); it != icons.cend(); ++it)
            result.insert(it.key(), ImageList(it.value(), QStringList()));
        return result;
    }();
    static const ImageList empty;
    const auto it = lists.constFind(name);
    return it == lists.cend() ? empty : it.value();
}

QIcon ImageList::icon(int index) const
{
    if (index < 0 || index >= m_icons.size())
        return {};
    return m_icons.at(index);
}

QString ImageList::itemKey(int position) const
{
    if (position < 1 || position > m_keys.size())
        return {};
    return m_keys.at(position - 1);
}

int ImageList::flagFor(const QString &code) const
{
    if (!code.isEmpty()) {
        for (int p = 105; p <= count(); ++p) {
            if (itemKey(p).startsWith(code))
                return p - 1;
        }
    }
    return 106;
}
