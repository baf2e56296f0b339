#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class ExportHost;
class OfficeWorker;
struct AppState;
class QToolButton;

// An export's progress in the status panel while it runs: the step under way as the
// status text, the progress bar across the steps (moved on by the office
// application's own progress within a step), and a Cancel button (and the Escape key)
// that ends the office application's work. Everything is put back at the end.
class ExportProgress : public QObject
{
    Q_OBJECT
public:
    ExportProgress(ExportHost &host, const AppState &state, int steps);
    ~ExportProgress() override;

    // The worker whose work the Cancel button ends.
    void attach(OfficeWorker &worker);
    // The next step begins; always true, so steps chain with &&.
    bool step(const QString &text);
    // The work is over: the status panel is put back at once, so the export's closing
    // message never shows a step under way or a Cancel button beside it. The end of the
    // object does it too.
    void end();

    QToolButton *cancelButton() const { return m_cancel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showPercent(int percent);

    ExportHost &m_host;
    int m_steps;
    int m_step = -1;
    QPointer<OfficeWorker> m_worker;
    QToolButton *m_cancel = nullptr;
    QString m_statusBefore;
    bool m_ended = false;
};
