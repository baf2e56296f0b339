#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <QList>

#include <memory>
#include <optional>

class QProcess;
namespace PrivateFolder { class Temporary; }

// The main program's side of the office worker: starts one worker process, sends it
// requests over its pipe and waits for each reply. The worker says it is alive while
// it works; one that falls silent for longer than the idle limit is taken for hung and
// killed, however long a working one takes. A worker that is missing, cannot start
// LibreOffice, dies, hangs or is cancelled ends in a failed reply; the worker is then
// killed and nothing else is affected.
//
// The worker gets a private temporary folder (its TMPDIR) that goes with it: whatever
// LibreOffice leaves there, and whatever a killed worker leaves, is removed.
class OfficeWorker : public QObject
{
    Q_OBJECT
public:
    enum class Failure { None, Missing, NoStart, Crashed, Timeout, Refused, Cancelled };

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

    // Starts the worker and sends it LibreOffice's start and the requests ahead at once,
    // without waiting: LibreOffice starts, and makes the first document, while the
    // program does other work. start() and request() then take their answers.
    void launch(const QList<QJsonObject> &ahead = {});
    // Sends requests whose answers the next start() or request() takes (and drops when
    // they are not the one asked), without waiting.
    void sendAhead(const QList<QJsonObject> &ahead);
    // Takes over the process other has launched (its LibreOffice started or starting),
    // and sends it the requests ahead. other is left without a process.
    void takeOver(OfficeWorker &other, const QList<QJsonObject> &ahead = {});
    // "Create the application": the worker process and LibreOffice inside it. A worker
    // whose LibreOffice has started already (one kept from an earlier export) answers at
    // once.
    Reply start();
    Reply request(const QJsonObject &request);
    // "Quit": asks the worker to end and makes sure it has.
    void quit();
    // Asks the worker to end and returns at once; ended() follows when it has.
    void quitLater();
    // Ends the worker at once, whatever it is doing (an export that ends before it
    // needed the worker).
    void abandon() { kill(); }
    bool running() const;
    // As running(), having first looked whether the process has ended meanwhile (an
    // end the program has not yet been told of).
    bool alive();
    qint64 processId() const;
    // Every answer owed has come (LibreOffice's start and the requests sent ahead) and
    // no one has taken them yet; they stay for start() or request() to take.
    bool answersWaiting();
    // LibreOffice has started in the worker, and start() has taken its answer.
    bool started() const { return m_started && running(); }
    // The worker's private folder while it runs (files handed to it, documents it saves).
    QString privateFolder() const;

    // Ends the request under way (and the worker) at the next look, from a button or key.
    void cancel();
    bool cancelled() const { return m_cancelled; }

    // How long a worker may stay silent before it is taken for hung (tests shorten it).
    static void setIdleLimit(int ms);
    static int idleLimit();

    static QString libreOfficeProgramFolder();

signals:
    // LibreOffice's own progress within the step under way, 0 to 100.
    void progress(int percent);
    // The worker process ended on its own (it crashed or was killed from outside, or
    // ended as quitLater() asked), not by quit() or abandon().
    void ended();

private:
    void adopt(QProcess *process);
    // One line to the worker.
    void send(const QJsonObject &request);
    Reply waitForReply();
    void kill();
    Reply initReply(Reply reply) const;

    QString m_workerPath;
    QString m_profileFolder;
    QProcess *m_process = nullptr;
    std::unique_ptr<PrivateFolder::Temporary> m_private;
    QByteArray m_buffer;
    bool m_cancelled = false;
    bool m_initSent = false;
    bool m_quitSent = false;
    bool m_started = false;
    std::optional<Reply> m_launchFailure;
    QList<QJsonObject> m_ahead; // sent, their answers not yet taken
};
