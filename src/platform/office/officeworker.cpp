#include "officeworker.h"

#include "platform/office/protocol.h"
#include "platform/privacy.h"
#include "platform/privatefolder.h"
#include "platform/wait.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUrl>

#include <algorithm>
#include <optional>

using namespace OfficeProtocol;

namespace {

int g_idleLimitMs = 30000;

// A sign of life rather than a reply.
bool isSignOfLife(const QJsonObject &line)
{
    return line.contains(Answer::beat) || line.contains(Answer::progress);
}

} // namespace

OfficeWorker::OfficeWorker(QString workerPath, QString profileFolder, QObject *parent)
    : QObject(parent)
    , m_workerPath(std::move(workerPath))
    , m_profileFolder(std::move(profileFolder))
{
}

OfficeWorker::~OfficeWorker()
{
    kill();
}

void OfficeWorker::setIdleLimit(int ms)
{
    g_idleLimitMs = ms;
}

int OfficeWorker::idleLimit()
{
    return g_idleLimitMs;
}

QString OfficeWorker::libreOfficeProgramFolder()
{
    return QStringLiteral("/usr/lib/libreoffice/program");
}

bool OfficeWorker::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

bool OfficeWorker::alive()
{
    if (m_process && m_process->state() == QProcess::Running)
        m_process->waitForFinished(0);
    return running();
}

qint64 OfficeWorker::processId() const
{
    return m_process ? m_process->processId() : 0;
}

bool OfficeWorker::answersWaiting()
{
    if (!running())
        return false;
    m_buffer += m_process->readAllStandardOutput();
    const qsizetype owed = (m_initSent && !m_started ? 1 : 0) + m_ahead.size();
    qsizetype answers = 0;
    for (const QByteArray &line : m_buffer.split('\n')) {
        const QJsonObject object = QJsonDocument::fromJson(line).object();
        if (!object.isEmpty() && !isSignOfLife(object))
            ++answers;
    }
    return answers > 0 && answers >= owed;
}

QString OfficeWorker::privateFolder() const
{
    return m_private ? m_private->path() : QString();
}

void OfficeWorker::cancel()
{
    m_cancelled = true;
}

void OfficeWorker::launch(const QList<QJsonObject> &ahead)
{
    kill();
    m_cancelled = false;
    m_launchFailure.reset();
    if (!QFileInfo(m_workerPath).isExecutable()) {
        m_launchFailure = Reply{Failure::Missing, QStringLiteral("the office worker is missing: ") + m_workerPath, {}};
        return;
    }
    m_private = std::make_unique<PrivateFolder::Temporary>(QStringLiteral("office"));
    if (!m_private->isValid()) {
        m_launchFailure = Reply{Failure::Missing, QStringLiteral("no temporary folder for the office worker: ")
                                                      + m_private->errorString(), {}};
        m_private.reset();
        return;
    }
    adopt(new QProcess(this));
    m_process->setProgram(m_workerPath);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), m_private->path());
    // LibreOffice reads its settings through dconf, which keeps a file in the session's
    // runtime folder, or below the home's cache folder when the session has none: then
    // it goes into the worker's own folder, and with it.
    if (!environment.contains(QStringLiteral("XDG_RUNTIME_DIR")))
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_private->path());
    // LibreOffice also makes the home's settings folder when there is none; then there
    // are no settings of the user's there to read either.
    if (!environment.contains(QStringLiteral("XDG_CONFIG_HOME"))
        && !QFileInfo(QDir::homePath() + QStringLiteral("/.config")).isDir())
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_private->path());
    m_process->setProcessEnvironment(environment);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start();
    if (!m_process->waitForStarted(10000)) {
        m_launchFailure = Reply{Failure::Missing, QStringLiteral("the office worker could not be started: ")
                                                      + m_process->errorString(), {}};
        kill();
        return;
    }
    // LibreOffice's profile lists the documents it opened: the user's alone, as the
    // worker makes everything in it.
    Privacy::closeFolder(m_profileFolder);
    send({{kOperation, Op::init},
          {Field::install, libreOfficeProgramFolder()},
          {Field::profile, QUrl::fromLocalFile(m_profileFolder).toString()}});
    m_initSent = true;
    sendAhead(ahead);
}

void OfficeWorker::adopt(QProcess *process)
{
    m_process = process;
    process->setParent(this);
    connect(process, &QProcess::finished, this, &OfficeWorker::ended);
}

void OfficeWorker::sendAhead(const QList<QJsonObject> &ahead)
{
    if (!running())
        return;
    for (const QJsonObject &request : ahead) {
        send(request);
        m_ahead.append(request);
    }
}

void OfficeWorker::takeOver(OfficeWorker &other, const QList<QJsonObject> &ahead)
{
    kill();
    m_cancelled = false;
    m_launchFailure = std::exchange(other.m_launchFailure, std::nullopt);
    if (QProcess *process = std::exchange(other.m_process, nullptr)) {
        process->disconnect(&other);
        adopt(process);
    }
    // The worker's temporary folder goes with it.
    m_private = std::move(other.m_private);
    m_buffer = std::exchange(other.m_buffer, {});
    m_initSent = std::exchange(other.m_initSent, false);
    m_quitSent = std::exchange(other.m_quitSent, false);
    m_started = std::exchange(other.m_started, false);
    m_ahead = std::exchange(other.m_ahead, {});
    sendAhead(ahead);
}

OfficeWorker::Reply OfficeWorker::initReply(Reply reply) const
{
    if (reply.failure == Failure::Refused)
        reply.failure = Failure::NoStart;
    return reply;
}

OfficeWorker::Reply OfficeWorker::start()
{
    if (m_started && !m_cancelled && alive())
        return {};
    if (!m_initSent && !m_launchFailure)
        launch();
    if (m_launchFailure)
        return *m_launchFailure;
    if (!m_initSent)
        return {Failure::Crashed, QStringLiteral("the office worker is not running"), {}};
    m_initSent = false;
    if (m_cancelled) {
        kill();
        return {Failure::Cancelled, QString(), {}};
    }
    const Reply reply = initReply(waitForReply());
    m_started = reply.ok();
    return reply;
}

OfficeWorker::Reply OfficeWorker::request(const QJsonObject &request)
{
    if (m_cancelled) {
        kill();
        return {Failure::Cancelled, QString(), {}};
    }
    if (!running())
        return {Failure::Crashed, QStringLiteral("the office worker is not running"), {}};
    // A request sent ahead: its answer is on its way. Answers to requests sent ahead
    // that are no longer wanted are taken and dropped.
    while (!m_ahead.isEmpty()) {
        const QJsonObject ahead = m_ahead.takeFirst();
        const Reply reply = waitForReply();
        if (ahead == request)
            return reply;
        if (!running())
            return reply;
    }
    send(request);
    return waitForReply();
}

OfficeWorker::Reply OfficeWorker::waitForReply()
{
    QPointer<QProcess> process(m_process);
    QElapsedTimer silent;
    silent.start();
    std::optional<QJsonObject> answer;
    // Takes the lines that have come: signs of life restart the idle clock, the first
    // other line is the answer.
    auto take = [&] {
        if (process)
            m_buffer += process->readAllStandardOutput();
        qsizetype end;
        while (!answer && (end = m_buffer.indexOf('\n')) >= 0) {
            const QJsonObject line = QJsonDocument::fromJson(m_buffer.left(end)).object();
            m_buffer.remove(0, end + 1);
            if (line.contains(Answer::beat)) {
                silent.restart();
            } else if (line.contains(Answer::progress)) {
                silent.restart();
                emit progress(std::clamp(line.value(Answer::progress).toInt(), 0, 100));
            } else {
                answer = line;
            }
        }
    };
    auto done = [&] {
        take();
        return answer || !process || process->state() == QProcess::NotRunning || m_cancelled
               || silent.elapsed() > g_idleLimitMs;
    };
    // The answer is taken the moment it comes; the steps only watch the clock.
    Wait::until(done, -1, 10, process.data(), &QProcess::readyReadStandardOutput);
    take();
    if (answer) {
        if (!answer->value(Answer::ok).toBool())
            return {Failure::Refused, answer->value(Answer::error).toString(), *answer};
        return {Failure::None, QString(), *answer};
    }
    const bool died = !process || process->state() == QProcess::NotRunning;
    kill();
    if (m_cancelled)
        return {Failure::Cancelled, QString(), {}};
    if (!died)
        return {Failure::Timeout, QStringLiteral("the office worker stopped working"), {}};
    return {Failure::Crashed, QStringLiteral("the office worker ended unexpectedly"), {}};
}

void OfficeWorker::quit()
{
    if (running()) {
        // An end asked for is no death to report.
        disconnect(m_process, nullptr, this, nullptr);
        quitLater();
        if (!m_process->waitForFinished(5000))
            m_process->kill();
    }
    kill();
}

void OfficeWorker::quitLater()
{
    if (!running() || m_quitSent)
        return;
    send({{kOperation, Op::quit}});
    m_process->closeWriteChannel();
    m_quitSent = true;
}

void OfficeWorker::send(const QJsonObject &request)
{
    m_process->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
}

void OfficeWorker::kill()
{
    if (m_process) {
        disconnect(m_process, nullptr, this, nullptr);
        if (m_process->state() != QProcess::NotRunning) {
            m_process->kill();
            m_process->waitForFinished(3000);
        }
        delete m_process;
        m_process = nullptr;
    }
    m_buffer.clear();
    m_ahead.clear();
    m_initSent = false;
    m_quitSent = false;
    m_started = false;
    // Whatever LibreOffice left in its temporary folder goes with the worker.
    m_private.reset();
}
