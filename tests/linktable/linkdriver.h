#pragma once

// Drives the link table window and the record editor as a user does: mouse clicks on
// their buttons, tabs and cells, keys typed into their boxes.
#include "linktable/linkeditor.h"
#include "linktable/linkgrid.h"
#include "linktable/linktable.h"
#include "linktable/linktablewindow.h"
#include "platform/commandbar.h"
#include "platform/dragbutton.h"
#include "platform/tabstrip.h"
#include "support/tempfolder.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

namespace LinkDriver {

inline QToolButton *button(CommandBar *bar, const char *key)
{
    return bar ? bar->findChild<QToolButton *>(QString::fromLatin1(key)) : nullptr;
}

// A click on a button of a command bar.
inline void press(CommandBar *bar, const char *key)
{
    QToolButton *b = button(bar, key);
    ASSERT_TRUE(b) << key;
    ASSERT_TRUE(b->isVisible() && b->isEnabled()) << key;
    QTest::mouseClick(b, Qt::LeftButton);
}

inline void clickTab(TabStrip *strip, int tab)
{
    QTabBar *bar = strip->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(tab).center());
}

inline QPoint cellCentre(LinkGrid *grid, int row, int column)
{
    const QModelIndex index = grid->model()->index(row, column);
    grid->scrollTo(index);
    return grid->visualRect(index).center();
}

inline void clickCell(LinkGrid *grid, int row, int column)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(grid, row, column));
}

inline void doubleClickCell(LinkGrid *grid, int row, int column)
{
    const QPoint at = cellCentre(grid, row, column);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    // The second press of a double-click arrives as the double-click itself.
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

// Types any text, one character (or surrogate pair) per key press.
inline void type(QWidget *widget, const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString unit(text.at(i));
        if (text.at(i).isHighSurrogate() && i + 1 < text.size())
            unit += text.at(++i);
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, unit, Qt::NoModifier);
    }
}

// Whether every character of the text is one a key press types.
inline bool typeable(const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        if (c > 0xFFFF || !QChar::isPrint(c))
            return false;
    }
    return true;
}

// Replaces a box's text with keys: select all, delete, type. What no key types (line
// breaks, separators, pictographs) arrives by pasting, as a user would bring it.
inline void retype(QLineEdit *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    if (!typeable(text)) {
        QApplication::clipboard()->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else {
        type(box, text);
    }
}

inline void xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(20000);
    EXPECT_EQ(p.exitCode(), 0) << arguments.join(u' ').toStdString();
}

} // namespace LinkDriver
