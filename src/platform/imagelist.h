#pragma once

#include <QIcon>
#include <QList>
#include <QString>

// The pictures a command bar draws its buttons with. Buttons name an image by its
// 0-based index; the list's own item interface counts from 1, as the flag lookup of
// the language items does.
class ImageList
{
public:
    ImageList() = default;
    ImageList(QList<QIcon> icons, QStringList keys);

    // The main window's 125 pictures, from the program's resources.
    static const ImageList &main();
    // A secondary window's own list ("linktable", "linkeditor"); empty for a window
    // without one.
    static const ImageList &window(const QString &name);

    int count() const { return static_cast<int>(m_icons.size()); }
    // By 0-based index; a null icon for -1 or an index out of range.
    QIcon icon(int index) const;
    // The key of item p, counted from 1.
    QString itemKey(int position) const;

    // The 0-based image of the first item from position 105 on whose key begins with
    // the language code; 106 when none does.
    int flagFor(const QString &code) const;

private:
    QList<QIcon> m_icons;
    QStringList m_keys;
};
