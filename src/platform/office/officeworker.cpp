#include "officeworker.h"

#include "platform/wait.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QPointer>
#include <QProcess>
#include <QUrl>

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

QString OfficeWorker::libreOfficeProgramFolder()
{
    return QStringLiteral("/usr/lib/libreoffice/program");
}

bool OfficeWorker::running() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

qint64 OfficeWorker::processId() const
{
    return m_process ? m_process->processId() : 0;
}

OfficeWorker::Reply OfficeWorker::start(int timeoutMs)
{
    if (!QFileInfo(m_workerPath).isExecutable())
        return {Failure::Missing, QStringLiteral("the office worker is missing: ") + m_workerPath, {}};
    kill();
    m_process = new QProcess(this);
    m_process->setProgram(m_workerPath);
    m_process->setProcessChannelMode(QProcess::SeparateChannels);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    m_process->start();
    if (!m_process->waitForStarted(10000)) {
        const QString error = m_process->errorString();
        kill();
        return {Failure::Missing, QStringLiteral("the office worker could not be started: ") + error, {}};
    }
    QDir().mkpath(m_profileFolder);
    Reply reply = request({{QStringLiteral("op"), QStringLiteral("init")},
                           {QStringLiteral("install"), libreOfficeProgramFolder()},
                           {QStringLiteral("profile"), QUrl::fromLocalFile(m_profileFolder).toString()}},
                          timeoutMs);
    if (reply.failure == Failure::Refused)
        reply.failure = Failure::NoStart;
    return reply;
}

OfficeWorker::Reply OfficeWorker::request(const QJsonObject &request, int timeoutMs)
{
    if (!running())
        return {Failure::Crashed, QStringLiteral("the office worker is not running"), {}};
    m_process->write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    return waitForReply(timeoutMs);
}

OfficeWorker::Reply OfficeWorker::waitForReply(int timeoutMs)
{
    QPointer<QProcess> process(m_process);
    auto lineReady = [&] {
        if (process)
            m_buffer += process->readAllStandardOutput();
        return m_buffer.contains('\n') || !process || process->state() == QProcess::NotRunning;
    };
    const bool answered = Wait::until(lineReady, timeoutMs, 10);
    if (process)
        m_buffer += process->readAllStandardOutput();
    const qsizetype end = m_buffer.indexOf('\n');
    if (end < 0) {
        const bool died = !process || process->state() == QProcess::NotRunning;
        kill();
        if (!answered && !died)
            return {Failure::Timeout, QStringLiteral("the office worker did not answer in time"), {}};
        return {Failure::Crashed, QStringLiteral("the office worker ended unexpectedly"), {}};
    }
    const QByteArray line = m_buffer.left(end);
    m_buffer.remove(0, end + 1);
    const QJsonObject data = QJsonDocument::fromJson(line).object();
    if (!data.value(QStringLiteral("ok")).toBool())
        return {Failure::Refused, data.value(QStringLiteral("error")).toString(), data};
    return {Failure::None, QString(), data};
}

void OfficeWorker::quit()
{
    if (running()) {
        m_process->write("{\"op\":\"quit\"}\n");
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(5000))
            m_process->kill();
    }
    kill();
}

void OfficeWorker::kill()
{
    if (!m_process)
        return;
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(3000);
    }
    delete m_process;
    m_process = nullptr;
    m_buffer.clear();
}
