#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One window per program folder: a later start on the same folder hands its addresses
// to the program already running there, over a local socket in the user's runtime
// folder (the user's alone), and ends. The running program listens; a socket left by a
// run that crashed answers nobody, and is taken over rather than obeyed.
class Handover : public QObject
{
    Q_OBJECT
public:
    explicit Handover(QObject *parent = nullptr);
    ~Handover() override;

    // The socket of a program folder.
    static QString socketPath(const QString &programFolder);

    // Hands the addresses (none: the window only comes to the front) to the program
    // running on the folder; true when it took them.
    static bool handTo(const QString &programFolder, const QStringList &addresses, int timeoutMs = 5000);

    // Listens for later starts on the folder; false when another program took the
    // socket first (the caller hands its addresses to that one).
    bool listen(const QString &programFolder);

    // What a request may hold at most: a start hands over a handful of addresses.
    static constexpr qint64 kMostBytes = 1 << 20;
    static constexpr int kMostAddresses = 1000;

signals:
    // A later start handed these over (possibly none: it asks for the window only).
    void addressesArrived(const QStringList &addresses);

private:
    void take(QLocalSocket *socket);

    QLocalServer *m_server = nullptr;
};
