#include "httpserver.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

HttpServer::HttpServer(QObject *parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

HttpServer::~HttpServer() = default;

quint16 HttpServer::port() const
{
    return m_server->serverPort();
}

int HttpServer::totalRequests() const
{
    int total = 0;
    for (int n : m_counts)
        total += n;
    return total;
}

void HttpServer::addPage(const QString &path, const QByteArray &body, const QByteArray &contentType, int delayMs)
{
    m_pages.insert(path, Page{body, contentType, delayMs});
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void HttpServer::serve(QTcpSocket *socket)
{
    QByteArray request = socket->property("request").toByteArray() + socket->readAll();
    if (!request.contains("\r\n\r\n")) {
        socket->setProperty("request", request);
        return;
    }
    socket->setProperty("request", QByteArray());
    const QList<QByteArray> first = request.left(request.indexOf("\r\n")).split(' ');
    QString path = first.size() > 1 ? QString::fromLatin1(first.at(1)) : QStringLiteral("/");
    const qsizetype query = path.indexOf(u'?');
    if (query >= 0)
        path.truncate(query);
    m_counts[path] += 1;

    QByteArray response;
    int delay = 0;
    for (auto folder = m_folders.cbegin(); folder != m_folders.cend() && !m_pages.contains(path); ++folder) {
        if (!path.startsWith(folder.key()))
            continue;
        const QString root = QFileInfo(folder.value()).canonicalFilePath();
        const QString file = QFileInfo(root + u'/' + QUrl::fromPercentEncoding(path.mid(folder.key().size()).toUtf8()))
                                 .canonicalFilePath();
        QFile f(file);
        if (file.startsWith(root + u'/') && f.open(QIODevice::ReadOnly)) {
            static const QHash<QString, QByteArray> types = {
                {QStringLiteral("html"), "text/html"}, {QStringLiteral("htm"), "text/html"},
                {QStringLiteral("css"), "text/css"},   {QStringLiteral("js"), "text/javascript"},
                {QStringLiteral("png"), "image/png"},  {QStringLiteral("jpg"), "image/jpeg"},
                {QStringLiteral("jpeg"), "image/jpeg"}, {QStringLiteral("gif"), "image/gif"},
                {QStringLiteral("svg"), "image/svg+xml"}};
            addPage(path, f.readAll(), types.value(QFileInfo(file).suffix().toLower(), "application/octet-stream"));
        }
    }
    const auto it = m_pages.constFind(path);
    bool allowed = true;
    if (m_cookies.contains(path)) {
        allowed = false;
        for (const QByteArray &line : request.split('\n')) {
            if (line.toLower().startsWith("cookie:") && line.contains(m_cookies.value(path)))
                allowed = true;
        }
    }
    if (!allowed) {
        const QByteArray body("forbidden");
        response = "HTTP/1.1 403 Forbidden\r\nContent-Type: text/plain\r\nContent-Length: "
                   + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    } else if (it == m_pages.constEnd()) {
        const QByteArray body("not found");
        response = "HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: "
                   + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    } else {
        delay = m_counts.value(path) >= m_delayFrom.value(path, 1) ? it->delayMs : 0;
        QByteArray extra;
        for (const QByteArray &line : m_headers.value(path))
            extra += line + "\r\n";
        response = "HTTP/1.1 200 OK\r\nContent-Type: " + it->type + "\r\nCache-Control: no-store\r\n" + extra
                   + "Content-Length: "
                   + QByteArray::number(it->body.size()) + "\r\nConnection: close\r\n\r\n" + it->body;
    }
    auto send = [socket, response] {
        socket->write(response);
        socket->disconnectFromHost();
    };
    if (delay > 0)
        QTimer::singleShot(delay, socket, send);
    else
        send();
}
