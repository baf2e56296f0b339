#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

class QTcpServer;
class QTcpSocket;

// A small HTTP server on 127.0.0.1 for the tests: fixed pages by path, an optional
// delay per page, and a count of the requests each path received.
class HttpServer : public QObject
{
    Q_OBJECT
public:
    explicit HttpServer(QObject *parent = nullptr);
    ~HttpServer() override;

    void addPage(const QString &path, const QByteArray &body,
                 const QByteArray &contentType = QByteArrayLiteral("text/html; charset=utf-8"), int delayMs = 0);
    QString url(const QString &path) const;
    // The page's delay applies only from its n-th request on.
    void delayFrom(const QString &path, int n) { m_delayFrom.insert(path, n); }
    int requests(const QString &path) const { return m_counts.value(path); }
    // Every request since the server started, by path.
    int totalRequests() const;
    // An extra response header line for the page ("Set-Cookie: a=b").
    void addHeader(const QString &path, const QByteArray &line) { m_headers[path].append(line); }
    // The page is served only to requests that carry this cookie ("name=value"); others
    // get 403.
    void requireCookie(const QString &path, const QByteArray &cookie) { m_cookies.insert(path, cookie); }
    quint16 port() const;
    // Files below folder are served at prefix + their path there, read when asked for;
    // nothing outside folder is.
    void serveFolder(const QString &prefix, const QString &folder) { m_folders.insert(prefix, folder); }

private:
    struct Page
    {
        QByteArray body;
        QByteArray type;
        int delayMs = 0;
    };
    void serve(QTcpSocket *socket);

    QTcpServer *m_server = nullptr;
    QHash<QString, Page> m_pages;
    QHash<QString, int> m_counts;
    QHash<QString, int> m_delayFrom;
    QHash<QString, QList<QByteArray>> m_headers;
    QHash<QString, QByteArray> m_cookies;
    QHash<QString, QString> m_folders;
};
