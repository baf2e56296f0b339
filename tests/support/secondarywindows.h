#pragma once

#include "platform/commandbar.h"

#include <QStringList>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>


// What the tests of the secondary windows share: the catalogue, a window's bar
// buttons by key, a bar's keys.
inline CommandCatalogue &catalogue()
{
    return CommandCatalogue::instance();
}

inline QToolButton *tool(QWidget *window, const char *key)
{
    auto *button = window->findChild<QToolButton *>(QString::fromLatin1(key));
    EXPECT_NE(button, nullptr) << key;
    return button;
}

inline QStringList keysOf(const char *bar)
{
    QStringList keys;
    for (CommandButton *b : catalogue().bar(QString::fromLatin1(bar))->buttons())
        keys.append(b->key());
    return keys;
}
