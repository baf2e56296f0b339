#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class OfficeWorker;

// The next export's office worker, started ahead: the process runs and LibreOffice
// starts in it, then it waits. An export takes it over as its own worker, so it does
// not pay for LibreOffice's start, and hands its worker back at its end: that worker
// ends in the background, and the next spare starts the moment it has ended (while the
// export's message is still shown), so an export right after another finds one too.
// At the program's start, and after a spare that died, the spare waits until the
// program has been idle for a moment. A spare that dies is replaced without a word; one
// is never started while an export's worker runs or ends, so two never share
// LibreOffice's profile; end() ends it for good (the program's exit).
class OfficeSpare : public QObject
{
    Q_OBJECT
public:
    OfficeSpare(QString workerPath, QString profileFolder, QObject *parent = nullptr);
    ~OfficeSpare() override;

    // A spare is started once the program has been idle for a moment.
    void prepareWhenIdle();
    // What a new spare does once LibreOffice has started in it, before it waits: the
    // first document of each kind costs LibreOffice a good deal more than the next, and
    // that is better paid while the program is idle than in the next export. The
    // requests go one at a time, each once the one before has been answered, and none
    // after an export has taken the spare, so an export that comes meanwhile waits for
    // one at most.
    void setWarmUp(QList<QJsonObject> requests) { m_warmUp = std::move(requests); }
    // An export begins: worker takes over the spare when there is one (sent the
    // requests ahead; true), else it launches a worker of its own. No spare is started
    // until exportEnded(). A spare that dies at the very moment it is taken fails that
    // export as any worker that dies does.
    bool exportBegins(OfficeWorker &worker, const QList<QJsonObject> &ahead);
    // The export is done with worker, whose process (if it still runs) is taken over:
    // kept as the spare when workers are kept and the export ended well, else asked to
    // end, and the next spare starts once it has.
    void exportEnded(OfficeWorker &worker, bool endedWell);
    // Ends the spare and starts no other.
    void end();

    // A batch of exports, one after another with no one waiting at the window: the
    // worker of an export that ended well is kept for the next one rather than ended,
    // up to `exports` exports in a row (LibreOffice then starts afresh), and a spare is
    // started at once rather than when the program is idle, which a batch never is.
    void keepWorkers(int exports);
    // The spare's process, 0 when there is none.
    qint64 processId() const;
    // There is a spare, and LibreOffice has answered its start and its warm-up in it (a
    // start that failed is then reported by the export that takes it, as without a
    // spare).
    bool ready() const;

    // Spares are started at all (tests that count worker processes turn them off; an
    // export's worker then ends before the export returns, as without spares).
    static void setEnabled(bool enabled);
    static bool enabled();
    // How long the program must be idle before a spare starts.
    static constexpr int kIdleMs = 1000;
    // How long a worker asked to end may take before it is killed.
    static constexpr int kEndingMs = 5000;

private:
    // Takes over an export's worker that has ended its work well, when workers are
    // kept; false when it is not taken.
    bool keep(OfficeWorker &worker);
    bool startable() const;
    void startIfIdle();
    void start();
    // The next warm-up request, once the spare has answered all before it.
    void warmUp();
    void makeSpare();
    void died();
    void ended();
    // The export's worker that is ending, made to end now.
    void finishEnding();

    QString m_workerPath;
    QString m_profileFolder;
    QList<QJsonObject> m_warmUp;
    QList<QJsonObject> m_warmUpLeft; // the spare's, not yet sent
    std::unique_ptr<OfficeWorker> m_spare;
    std::unique_ptr<OfficeWorker> m_ending; // an export's worker, asked to end
    QTimer m_idle;
    QTimer m_warming;
    QTimer m_endingLimit;
    QElapsedTimer m_started;
    int m_exports = 0;      // exports whose worker runs
    int m_quickDeaths = 0;  // spares that died soon after their start, one after another
    int m_keepLimit = 0;    // exports one kept worker serves; 0: workers are not kept
    int m_kept = 0;         // exports the kept worker has served so far
    bool m_ended = false;
};
