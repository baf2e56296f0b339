#include "officespare.h"

#include "platform/office/officeworker.h"
#include "platform/office/protocol.h"
#include "platform/wait.h"

namespace {

bool g_enabled = true;
// A spare that dies this soon after its start, three times over, is not started again
// until the next export has run: LibreOffice cannot start here, and the exports say so.
constexpr qint64 kQuickDeathMs = 10000;
constexpr int kQuickDeathsAllowed = 3;
constexpr int kWarmUpPollMs = 30;

} // namespace

OfficeSpare::OfficeSpare(QString workerPath, QString profileFolder, QObject *parent)
    : QObject(parent)
    , m_workerPath(std::move(workerPath))
    , m_profileFolder(std::move(profileFolder))
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMs);
    connect(&m_idle, &QTimer::timeout, this, &OfficeSpare::startIfIdle);
    m_warming.setInterval(kWarmUpPollMs);
    connect(&m_warming, &QTimer::timeout, this, &OfficeSpare::warmUp);
    // An export's worker that does not end when asked is killed.
    m_endingLimit.setSingleShot(true);
    m_endingLimit.setInterval(kEndingMs);
    connect(&m_endingLimit, &QTimer::timeout, this, [this] {
        // It has had its time to end: killed at once, not waited for once more.
        if (m_ending)
            m_ending->abandon();
        finishEnding();
        start();
    });
}

OfficeSpare::~OfficeSpare()
{
    end();
}

void OfficeSpare::setEnabled(bool enabled)
{
    g_enabled = enabled;
}

bool OfficeSpare::enabled()
{
    return g_enabled;
}

void OfficeSpare::prepareWhenIdle()
{
    if (m_ended || !g_enabled || m_spare)
        return;
    if (m_keepLimit > 0)
        start();
    else
        m_idle.start();
}

bool OfficeSpare::startable() const
{
    return !m_ended && g_enabled && !m_spare && !m_ending && m_exports == 0 && m_quickDeaths < kQuickDeathsAllowed;
}

void OfficeSpare::makeSpare()
{
    m_spare = std::make_unique<OfficeWorker>(m_workerPath, m_profileFolder);
    connect(m_spare.get(), &OfficeWorker::ended, this, &OfficeSpare::died);
}

void OfficeSpare::startIfIdle()
{
    if (!startable())
        return;
    // A wait under way is an export or a page being waited for: later.
    if (Wait::active()) {
        m_idle.start();
        return;
    }
    start();
}

void OfficeSpare::start()
{
    if (!startable())
        return;
    m_idle.stop();
    m_kept = 0;
    makeSpare();
    m_started.start();
    m_spare->launch();
    if (!m_spare->running()) {
        // The worker cannot even be started; each export will say why.
        m_spare.reset();
        m_quickDeaths = kQuickDeathsAllowed;
        return;
    }
    m_warmUpLeft = m_warmUp;
    if (!m_warmUpLeft.isEmpty())
        m_warming.start();
}

void OfficeSpare::warmUp()
{
    if (!m_spare || m_warmUpLeft.isEmpty()) {
        m_warming.stop();
        m_warmUpLeft.clear();
        return;
    }
    if (m_spare->answersWaiting()) {
        QJsonObject request = m_warmUpLeft.takeFirst();
        request.insert(OfficeProtocol::Field::warmUp, true);
        m_spare->sendAhead({request});
    }
}

void OfficeSpare::died()
{
    // Replaced later, outside the signal of the process that ended.
    QTimer::singleShot(0, this, [this] {
        if (!m_spare || m_spare->running())
            return;
        m_spare.reset();
        if (m_started.isValid() && m_started.elapsed() < kQuickDeathMs)
            ++m_quickDeaths;
        else
            m_quickDeaths = 0;
        prepareWhenIdle();
    });
}

bool OfficeSpare::exportBegins(OfficeWorker &worker, const QList<QJsonObject> &ahead)
{
    ++m_exports;
    m_idle.stop();
    // The worker of the export before may still be ending (an export right after
    // another): it ends first, so two never share LibreOffice's profile.
    finishEnding();
    // Nothing more of the warm-up goes to a spare an export takes.
    m_warmUpLeft.clear();
    // A spare that has died unnoticed (killed while the program was idle) is passed over.
    if (m_spare && m_spare->alive()) {
        worker.takeOver(*m_spare, ahead);
        m_spare.reset();
        return true;
    }
    m_spare.reset();
    worker.launch(ahead);
    return false;
}

void OfficeSpare::exportEnded(OfficeWorker &worker, bool endedWell)
{
    m_exports = std::max(0, m_exports - 1);
    // The export tried LibreOffice afresh: a spare may start again.
    m_quickDeaths = 0;
    if (endedWell && keep(worker))
        return;
    if (m_ended || !g_enabled || !worker.alive()) {
        worker.quit();
        // Started once the export has returned, not within it.
        if (startable())
            QTimer::singleShot(0, this, &OfficeSpare::start);
        return;
    }
    // The export need not wait for its worker's end, nor the next spare for the user to
    // close the export's message.
    finishEnding();
    m_ending = std::make_unique<OfficeWorker>(m_workerPath, m_profileFolder);
    m_ending->takeOver(worker);
    connect(m_ending.get(), &OfficeWorker::ended, this, &OfficeSpare::ended);
    m_ending->quitLater();
    m_endingLimit.start();
}

void OfficeSpare::ended()
{
    // Taken away outside the signal of the process that ended.
    QTimer::singleShot(0, this, [this] {
        if (!m_ending || m_ending->running())
            return;
        finishEnding();
        start();
    });
}

void OfficeSpare::finishEnding()
{
    m_endingLimit.stop();
    if (!m_ending)
        return;
    m_ending->disconnect(this);
    // It was asked to end already; one that does not is killed.
    m_ending->quit();
    m_ending.reset();
}

void OfficeSpare::end()
{
    m_ended = true;
    m_idle.stop();
    m_warming.stop();
    m_warmUpLeft.clear();
    finishEnding();
    if (m_spare) {
        m_spare->quit();
        m_spare.reset();
    }
}

void OfficeSpare::keepWorkers(int exports)
{
    m_keepLimit = std::max(0, exports);
    prepareWhenIdle();
}

bool OfficeSpare::keep(OfficeWorker &worker)
{
    if (m_keepLimit <= 0 || !startable() || !worker.alive() || !worker.started())
        return false;
    // LibreOffice gathers what it does not give back: after so many documents it starts
    // afresh, while the next page loads.
    if (++m_kept >= m_keepLimit)
        return false;
    makeSpare();
    m_spare->takeOver(worker);
    return true;
}

qint64 OfficeSpare::processId() const
{
    return m_spare && m_spare->running() ? m_spare->processId() : 0;
}

bool OfficeSpare::ready() const
{
    return m_spare && m_spare->alive() && (m_spare->started() || m_spare->answersWaiting())
           && m_warmUpLeft.isEmpty();
}
