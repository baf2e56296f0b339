#include "handover.h"

#include "platform/privatefolder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLockFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kAddresses = QStringLiteral("addresses");
const QByteArray kTaken = QByteArrayLiteral("taken\n");

// The user's runtime folder, which only the user can enter; the program's own private
// folder in the temporary folder where the session has none.
QString runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return runtime;
    return PrivateFolder::ensure(PrivateFolder::systemTemp()).value_or(QDir::tempPath());
}

// Only a process of the same user may hand anything over.
bool sameUser(const QLocalSocket *socket)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0
           && peer.uid == ::geteuid();
}

} // namespace

Handover::Handover(QObject *parent)
    : QObject(parent)
{
}

Handover::~Handover() = default;

QString Handover::socketPath(const QString &programFolder)
{
    const QString folder = QFileInfo(programFolder).canonicalFilePath().isEmpty()
                               ? QDir::cleanPath(QFileInfo(programFolder).absoluteFilePath())
                               : QFileInfo(programFolder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(folder), QCryptographicHash::Sha256).toHex();
    return runtimeFolder() + QStringLiteral("/QuorlOffice-") + QString::fromLatin1(hash.left(16));
}

bool Handover::handTo(const QString &programFolder, const QStringList &addresses, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(programFolder));
    // Nobody listening (no socket, or one left by a run that crashed): nothing is handed
    // over, and this start becomes the one that runs.
    if (!socket.waitForConnected(timeoutMs))
        return false;
    const QJsonObject request{{kAddresses, QJsonArray::fromStringList(addresses.mid(0, kMostAddresses))}};
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    QElapsedTimer clock;
    clock.start();
    QByteArray answer;
    while (!answer.endsWith('\n') && clock.elapsed() < timeoutMs) {
        if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed()))))
            break;
        answer += socket.readAll();
    }
    return answer == kTaken;
}

bool Handover::listen(const QString &programFolder)
{
    const QString path = socketPath(programFolder);
    // Two starts at once look and take the socket one after the other: a socket made
    // owner-only takes its place by a rename, which would pass over one already there.
    QLockFile guard(path + QStringLiteral(".lock"));
    guard.setStaleLockTime(0);
    if (!guard.tryLock(5000))
        return false;
    if (QFileInfo::exists(path)) {
        // A socket that answers belongs to a program running on the folder; one that
        // nobody answers is left from a run that crashed, and is taken over.
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(1000))
            return false;
        QLocalServer::removeServer(path);
    }
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection())
            take(socket);
    });
    return true;
}

void Handover::take(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!sameUser(socket)) {
        socket->abort();
        return;
    }
    auto *received = new QByteArray;
    connect(socket, &QObject::destroyed, this, [received] { delete received; });
    const auto read = [this, socket, received] {
        *received += socket->readAll();
        if (received->size() > kMostBytes) {
            socket->abort();
            return;
        }
        const qsizetype end = received->indexOf('\n');
        if (end < 0)
            return;
        const QJsonDocument document = QJsonDocument::fromJson(received->left(end));
        if (!document.isObject()) {
            socket->abort();
            return;
        }
        QStringList addresses;
        for (const QJsonValue &value : document.object().value(kAddresses).toArray()) {
            if (value.isString() && addresses.size() < kMostAddresses)
                addresses.append(value.toString());
        }
        socket->write(kTaken);
        socket->flush();
        socket->disconnectFromServer();
        emit addressesArrived(addresses);
    };
    connect(socket, &QLocalSocket::readyRead, this, read);
    if (socket->bytesAvailable() > 0)
        read();
}
