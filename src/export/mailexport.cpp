#include "mailexport.h"

#include "archive/czip.h"
#include "platform/dialogs.h"
#include "platform/privatefolder.h"
#include "platform/shell.h"
#include "settings/appstate.h"

#include <QFileInfo>
#include <QPointer>
#include <QWidget>
#include <QUrl>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");
constexpr qint64 kArchiveLifetime = 24 * 3600;

} // namespace

MailExport::MailExport(AppState &state, Host &host, QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_host(host)
{
}

MailExport::~MailExport() = default;

QString MailExport::archiveName(const QString &fileName)
{
    qsizetype start = 0;
    while (start < fileName.size() && fileName.at(start) == u'.')
        ++start;
    const qsizetype dot = fileName.indexOf(u'.', start);
    QString name = (dot < 0 ? fileName + u'.' : fileName.left(dot + 1)) + QStringLiteral("zip");
    name.replace(u' ', u'_');
    return name;
}

QString MailExport::archivePath(const QString &folder, const QString &chosenPath)
{
    return folder + u'/' + archiveName(QFileInfo(chosenPath).fileName());
}

QStringList MailExport::mailArguments(const QString &program, const QString &archive)
{
    const QString name = QFileInfo(program).fileName().toLower();
    if (name == QLatin1String("xdg-email"))
        return {QStringLiteral("--attach"), archive};
    if (name == QLatin1String("thunderbird") || name == QLatin1String("icedove")) {
        // Inside -compose a quote or a comma would end the field: the path goes
        // percent-encoded.
        const QString url = QStringLiteral("file://") + QString::fromLatin1(QUrl::toPercentEncoding(archive, "/"));
        return {QStringLiteral("-compose"), QStringLiteral("attachment='") + url + u'\''};
    }
    return {QStringLiteral("/a"), archive};
}

int MailExport::removeOldArchives()
{
    return PrivateFolder::removeOlderThan(PrivateFolder::systemTemp(), kArchiveLifetime,
                                          QDateTime::currentDateTime());
}

void MailExport::sendAsZip()
{
    const AppState &s = m_state;
    Dialogs &dialogs = Dialogs::instance();
    m_host.setOpacity(s.exportAlpha);
    const QString chosen = dialogs.openFile(m_host.dialogParent(), s.lang.entry(171),
                                            s.lang.entry(208) + QStringLiteral(" (*.*)|*.*"), m_host.dialogFileName());
    if (chosen.isEmpty()) {
        m_host.setOpacity(s.normalAlpha);
        return;
    }
    m_host.setDialogFileName(chosen);

    // A mail program that is not there would leave the user waiting for a window that
    // never comes: say so before any archive is made.
    const QString named = s.langSettings.programMail.trimmed();
    const QString program = Shell::findProgram(named);
    const QString notStarted = s.text(301, QStringLiteral("The mail program named in the language file could not "
                                                          "be started:"))
                               + QStringLiteral("\nPROGRAM_MAIL=") + named;
    if (program.isEmpty()) {
        m_host.setOpacity(s.normalAlpha);
        dialogs.message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle, notStarted);
        return;
    }

    bool made = false;
    QString archive;
    if (const auto folder = PrivateFolder::ensure(PrivateFolder::systemTemp())) {
        archive = archivePath(*folder, chosen);
        m_cZ = std::make_unique<cZip>();
        connect(m_cZ.get(), &cZip::progress, this, [this](int, const QString &text) { m_host.setStatusText(text); });
        m_cZ->setZipFile(archive);
        m_cZ->setStoreFolderNames(false);
        m_cZ->setRecurseSubDirs(false);
        m_cZ->clearFileSpecs();
        m_cZ->addFileSpec(chosen);
        m_cZ->zip();
        made = m_cZ->success();
    }
    m_host.setOpacity(s.normalAlpha);
    if (!made) {
        dialogs.message(m_host.dialogParent(), Dialogs::Icon::Warning, kTitle, s.lang.entry(207));
        return;
    }
    // The mail program may find no mail client set up, or fail otherwise: the user is
    // told, with the archive, which stays where it is for a day, to attach by hand.
    const QPointer<QWidget> parent = m_host.dialogParent();
    Shell::instance().handOff(program, mailArguments(program, archive), this,
                              [this, parent, notStarted, program, archive](const Shell::HandOffEnd &end) {
        if (!end.failed())
            return;
        const QString text = end.kind == Shell::HandOffEnd::Kind::NotStarted
                                 ? notStarted
                                 : m_state.text(302, QStringLiteral("The mail program did not take the archive:"))
                                       + u'\n' + handOffReason(m_state, program, end) + QStringLiteral("\n\n")
                                       + m_state.text(303, QStringLiteral("Attach the archive to a message "
                                                                          "yourself; it is here:"))
                                       + u'\n' + archive;
        Dialogs::messageWhenIdle(parent, Dialogs::Icon::Warning, kTitle, text);
    });
}

QString MailExport::handOffReason(const AppState &state, const QString &program, const Shell::HandOffEnd &end)
{
    QString reason;
    switch (end.kind) {
    case Shell::HandOffEnd::Kind::NotStarted:
    case Shell::HandOffEnd::Kind::NothingSetUp:
        reason = state.text(305, QStringLiteral("No program for this is set up on this computer."));
        break;
    case Shell::HandOffEnd::Kind::Crashed:
        reason = state.text(307, QStringLiteral("It stopped unexpectedly."));
        break;
    default:
        reason = state.text(306, QStringLiteral("It ended with status")) + u' ' + QString::number(end.status)
                 + u'.';
        break;
    }
    return QFileInfo(program).fileName() + QStringLiteral(": ") + reason;
}
