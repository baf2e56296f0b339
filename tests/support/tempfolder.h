#pragma once

#include "platform/textfile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QThread>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// A temporary folder for one test, with small helpers to lay out and read files.
class TempFolder
{
public:
    TempFolder()
    {
        EXPECT_TRUE(m_dir.isValid());
        m_dir.setAutoRemove(false);
    }
    // The web engine may still be flushing its storage into the folder for a moment
    // after its profile went away, so removal is retried.
    ~TempFolder()
    {
        for (int attempt = 0; attempt < 40; ++attempt) {
            if (QDir(m_dir.path()).removeRecursively())
                return;
            QCoreApplication::processEvents();
            QThread::msleep(50);
        }
    }

    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.path() + u'/' + relative; }

    void write(const QString &relative, const QByteArray &bytes) const
    {
        const QString p = file(relative);
        QDir().mkpath(QFileInfo(p).path());
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
        f.write(bytes);
    }
    QByteArray read(const QString &relative) const
    {
        QFile f(file(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool exists(const QString &relative) const { return QFileInfo::exists(file(relative)); }
    void mkdir(const QString &relative) const { QDir().mkpath(file(relative)); }

private:
    QTemporaryDir m_dir;
};

// Readable QStrings in the test failure messages.
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

inline QStringList linesOf(std::initializer_list<const char *> list)
{
    QStringList result;
    for (const char *l : list)
        result.append(QString::fromUtf8(l));
    return result;
}

inline std::string str(const QString &s)
{
    return s.toStdString();
}
