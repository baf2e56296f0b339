#include "exportprogress.h"

#include "app/mainwindow.h"
#include "platform/office/officeworker.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>

ExportProgress::ExportProgress(MainWindow *window, int steps)
    : m_window(window)
    , m_steps(std::max(1, steps))
{
    m_statusBefore = window->statusText()->text();
    QProgressBar *bar = window->progressBar();
    m_cancel = new QToolButton(window->statusPanel());
    m_cancel->setObjectName(QStringLiteral("cancelExport"));
    m_cancel->setText(window->state().text(256, QStringLiteral("Cancel")));
    m_cancel->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_cancel->adjustSize();
    // Just left of the progress bar, over the end of the status text.
    m_cancel->setGeometry(bar->x() - m_cancel->width() - 2, 0, m_cancel->width(), window->statusPanel()->height());
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
    qApp->removeEventFilter(this);
    delete m_cancel;
    m_window->statusText()->setText(m_statusBefore);
    m_window->progressBar()->setValue(0);
}

void ExportProgress::attach(OfficeWorker &worker)
{
    m_worker = &worker;
    m_cancel->setEnabled(true);
    connect(&worker, &OfficeWorker::progress, this, &ExportProgress::showPercent);
}

bool ExportProgress::step(const QString &text)
{
    m_step = std::min(m_step + 1, m_steps - 1);
    m_window->statusText()->setText(text);
    showPercent(0);
    return true;
}

void ExportProgress::showPercent(int percent)
{
    const int value = (std::max(0, m_step) * 100 + std::clamp(percent, 0, 100)) / m_steps;
    m_window->progressBar()->setValue(value);
}

bool ExportProgress::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && m_worker) {
        m_worker->cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
