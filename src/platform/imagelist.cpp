#include "imagelist.h"

#include "platform/textfile.h"

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
