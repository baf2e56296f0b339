// A later start's addresses reach the program already running on the same folder, and
// only that one: a socket left by a run that crashed is taken over, never obeyed.
#include "platform/handover.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The running program's side, on a thread of its own, so that this thread can be the
// later start that waits for its answer.
class RunningProgram
{
public:
    explicit RunningProgram(const QString &folder)
    {
        m_thread.start();
        m_handover = new Handover;
        m_handover->moveToThread(&m_thread);
        QMetaObject::invokeMethod(
            m_handover, [this, folder] { m_listening = m_handover->listen(folder); }, Qt::BlockingQueuedConnection);
    }
    ~RunningProgram()
    {
        QMetaObject::invokeMethod(m_handover, [this] { delete m_handover; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    bool listening() const { return m_listening; }
    Handover *handover() const { return m_handover; }

private:
    QThread m_thread;
    Handover *m_handover = nullptr;
    bool m_listening = false;
};

} // namespace

TEST(Handover, ALaterStartHandsItsAddressesToTheRunningProgramOfItsFolderOnly)
{
    TempFolder mine;
    TempFolder other;
    // Nobody runs yet: nothing is handed over.
    EXPECT_FALSE(Handover::handTo(mine.path(), {QStringLiteral("http://a.example/")}, 2000));

    RunningProgram running(mine.path());
    ASSERT_TRUE(running.listening());
    QSignalSpy arrived(running.handover(), &Handover::addressesArrived);
    const QStringList addresses{QStringLiteral("http://a.example/"), QStringLiteral("file:///tmp/b c.html")};
    EXPECT_TRUE(Handover::handTo(mine.path(), addresses));
    ASSERT_TRUE(arrived.count() > 0 || arrived.wait(5000));
    EXPECT_EQ(arrived.at(0).at(0).toStringList(), addresses);
    // Asked for the window alone.
    EXPECT_TRUE(Handover::handTo(mine.path(), {}));
    ASSERT_TRUE(arrived.count() > 1 || arrived.wait(5000));
    EXPECT_TRUE(arrived.at(1).at(0).toStringList().isEmpty());

    // Another program folder has a socket of its own.
    EXPECT_NE(Handover::socketPath(other.path()), Handover::socketPath(mine.path()));
    EXPECT_FALSE(Handover::handTo(other.path(), addresses, 2000));
    // The socket is the user's alone.
    EXPECT_EQ(QFile::permissions(Handover::socketPath(mine.path())) & (QFile::ReadOther | QFile::WriteOther
                                                                        | QFile::ReadGroup | QFile::WriteGroup),
              QFile::Permissions());
    // A second program on the same folder does not take the socket from the first.
    Handover second;
    EXPECT_FALSE(second.listen(mine.path()));
}

TEST(Handover, ASocketLeftByACrashIsTakenOverNotObeyed)
{
    TempFolder mine;
    const QByteArray path = QFile::encodeName(Handover::socketPath(mine.path()));
    // A socket file that nobody listens on, as a run that crashed leaves it.
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QFile::decodeName(path)));

    EXPECT_FALSE(Handover::handTo(mine.path(), {QStringLiteral("http://a.example/")}, 2000));
    RunningProgram running(mine.path());
    EXPECT_TRUE(running.listening());
    EXPECT_TRUE(Handover::handTo(mine.path(), {QStringLiteral("http://a.example/")}));
}
