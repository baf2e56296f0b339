#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class OfficeWorker;

// The next export's office worker, started ahead while the program is idle: the
// process runs and LibreOffice starts in it, then it waits. An export takes it over
// as its own worker (and ends it at its end, as every export does), so it does not pay
// for LibreOffice's start; the next spare is started once the program is idle again.
// A spare that dies is replaced without a word; one is never started while an
// export's worker runs, so two never share LibreOffice's profile; end() ends it for
// good (the program's exit).
class OfficeSpare : public QObject
{
    Q_OBJECT
public:
    OfficeSpare(QString workerPath, QString profileFolder, QObject *parent = nullptr);
    ~OfficeSpare() override;

    // A spare is started once the program has been idle for a moment.
    void prepareWhenIdle();
    // An export begins: worker takes over the spare when there is one (sent the
    // requests ahead; true), else it launches a worker of its own. No spare is started
    // until exportEnded(). A spare that dies at the very moment it is taken fails that
    // export as any worker that dies does.
    bool exportBegins(OfficeWorker &worker, const QList<QJsonObject> &ahead);
    // The export's worker has ended: the next spare is prepared.
    void exportEnded();
    // Ends the spare and starts no other.
    void end();

    // A batch of exports, one after another with no one waiting at the window: the
    // worker of an export that ended well is kept for the next one rather than ended,
    // up to `exports` exports in a row (LibreOffice then starts afresh), and a spare is
    // started at once rather than when the program is idle, which a batch never is.
    void keepWorkers(int exports);
    // Takes over an export's worker that has ended its work well, when workers are
    // kept; false when it is not taken (the export ends it).
    bool keep(OfficeWorker &worker);

    // The spare's process, 0 when there is none.
    qint64 processId() const;
    // There is a spare, and LibreOffice has answered its start in it (a start that
    // failed is then reported by the export that takes it, as without a spare).
    bool ready() const;
    // LibreOffice's profile folder of the workers.
    const QString &profileFolder() const { return m_profileFolder; }

    // Spares are started at all (tests that count worker processes turn them off).
    static void setEnabled(bool enabled);
    static bool enabled();
    // How long the program must be idle before a spare starts.
    static constexpr int kIdleMs = 1000;

private:
    void startIfIdle();
    void start();
    void died();

    QString m_workerPath;
    QString m_profileFolder;
    std::unique_ptr<OfficeWorker> m_spare;
    QTimer m_idle;
    QElapsedTimer m_started;
    int m_exports = 0;      // exports whose worker runs
    int m_quickDeaths = 0;  // spares that died soon after their start, one after another
    int m_keepLimit = 0;    // exports one kept worker serves; 0: workers are not kept
    int m_kept = 0;         // exports the kept worker has served so far
    bool m_ended = false;
};
