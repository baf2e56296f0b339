#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class QWebEngineProfile;
class QWebEngineView;
class QWebEngineUrlRequestInterceptor;

// One document of the engine's own web archive, laid out in a page shown nowhere, for
// the program's scripts to read: a frame of another site, whose document the page's
// own world may not read. The archive is shown as the engine shows saved pages: offline,
// its scripts not run, its resources from the archive alone; and nothing the document
// asks for leaves this page (every request but the archive's own is refused). The page
// has a private profile that keeps nothing.
class ArchivePage : public QObject
{
    Q_OBJECT
public:
    explicit ArchivePage(QObject *parent = nullptr);
    ~ArchivePage() override;

    // Shows the archive file at path in a page of size pixels; false when it did not
    // load within timeoutMs.
    bool load(const QString &path, const QSize &size, int timeoutMs);
    // A script run in the program's own world of the document; nothing when it did not
    // answer within timeoutMs.
    std::optional<QVariant> evaluate(const QString &script, int timeoutMs);

private:
    QWebEngineProfile *m_profile = nullptr;
    QWebEngineUrlRequestInterceptor *m_guard = nullptr;
    std::unique_ptr<QWebEngineView> m_view;
};
