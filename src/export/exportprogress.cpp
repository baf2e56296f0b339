#include "exportprogress.h"

#include "export/exporthost.h"
#include "platform/office/officeworker.h"
#include "settings/appstate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>

ExportProgress::ExportProgress(ExportHost &host, const AppState &state, int steps)
    : m_host(host)
    , m_steps(std::max(1, steps))
{
    m_statusBefore = host.statusText();
    QWidget *panel = host.statusPanel();
    m_cancel = new QToolButton(panel);
    m_cancel->setObjectName(QStringLiteral("cancelExport"));
    m_cancel->setText(state.text(256, QStringLiteral("Cancel")));
    m_cancel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_cancel->adjustSize();
    // Just left of the progress bar, over the end of the status text.
    m_cancel->setGeometry(host.progressLeft() - m_cancel->width() - 2, 0, m_cancel->width(), panel->height());
    m_cancel->setEnabled(false);
    m_cancel->show();
    m_cancel->raise();
    connect(m_cancel, &QToolButton::clicked, this, [this] {
        if (m_worker)
            m_worker->cancel();
    });
    qApp->installEventFilter(this);
}

ExportProgress::~ExportProgress()
{
    end();
}

void ExportProgress::end()
{
    if (m_ended)
        return;
    m_ended = true;
    qApp->removeEventFilter(this);
    delete m_cancel;
    m_cancel = nullptr;
    m_worker = nullptr;
    m_host.setStatusText(m_statusBefore);
    m_host.setProgress(0);
}

void ExportProgress::attach(OfficeWorker &worker)
{
    m_worker = &worker;
    m_cancel->setEnabled(true);
    connect(&worker, &OfficeWorker::progress, this, &ExportProgress::showPercent);
}

bool ExportProgress::step(const QString &text)
{
    if (m_ended)
        return true;
    m_step = std::min(m_step + 1, m_steps - 1);
    m_host.setStatusText(text);
    showPercent(0);
    return true;
}

void ExportProgress::showPercent(int percent)
{
    if (m_ended)
        return;
    const int value = (std::max(0, m_step) * 100 + std::clamp(percent, 0, 100)) / m_steps;
    m_host.setProgress(value);
}

bool ExportProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && m_worker) {
        m_worker->cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
