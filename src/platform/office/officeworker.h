#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

class QProcess;

// The main program's side of the office worker: starts one worker process, sends it
// requests over its pipe and waits for each reply with a time limit. A worker that is
// missing, cannot start LibreOffice, dies or stops answering ends in a failed reply;
// the worker is then killed and nothing else is affected.
class OfficeWorker : public QObject
{
    Q_OBJECT
public:
    enum class Failure { None, Missing, NoStart, Crashed, Timeout, Refused };

    struct Reply
    {
        Failure failure = Failure::None;
        QString error;
        QJsonObject data;
        bool ok() const { return failure == Failure::None; }
    };

    // workerPath: the worker executable; profileFolder: LibreOffice's user profile of
    // our own, so a LibreOffice the user has open is never disturbed.
    OfficeWorker(QString workerPath, QString profileFolder, QObject *parent = nullptr);
    ~OfficeWorker() override;

    // "Create the application": the worker process and LibreOffice inside it.
    Reply start(int timeoutMs = 90000);
    Reply request(const QJsonObject &request, int timeoutMs = 60000);
    // "Quit": asks the worker to end and makes sure it has.
    void quit();
    bool running() const;
    qint64 processId() const;

    static QString libreOfficeProgramFolder();

private:
    Reply waitForReply(int timeoutMs);
    void kill();

    QString m_workerPath;
    QString m_profileFolder;
    QProcess *m_process = nullptr;
    QByteArray m_buffer;
};
