#include "startup.h"

#include "app/firstrun.h"
#include "linktable/linkfiles.h"
#include "platform/dialogs.h"
#include "platform/translations.h"
#include "platform/webengine.h"
#include "settings/appstate.h"
#include "settings/language.h"

#include <QDate>
#include <QLockFile>

namespace StartUp {
namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

} // namespace

bool prepare(AppState &s, QWidget *parent, std::unique_ptr<QLockFile> *lock)
{
    Dialogs &dialogs = Dialogs::instance();
    // Two copies on one program folder would write each other's files and share
    // LibreOffice's profile: the second says so and ends. A lock left by a copy that
    // was killed is taken over.
    auto held = std::make_unique<QLockFile>(s.paths.file(FirstRun::kLockFile));
    held->setStaleLockTime(0);
    if (held->tryLock(0)) {
        *lock = std::move(held);
    } else if (held->error() == QLockFile::LockFailedError) {
        dialogs.message(parent, Dialogs::Icon::Warning, kTitle,
                        QStringLiteral("QuorlOffice is already running with this program folder:\n")
                            + s.paths.appPath());
        return false;
    }
    if (FirstRun::markerPresent(s.paths.appPath())) {
        const FirstRun::Result result = FirstRun::moveData(s.paths.appPath());
        if (result.status == FirstRun::Result::Status::MissingFile) {
            dialogs.message(parent, Dialogs::Icon::Critical, kTitle,
                            QStringLiteral("No ") + result.path + QStringLiteral(" file found!"));
            return false;
        }
        if (result.status == FirstRun::Result::Status::Failed) {
            dialogs.message(parent, Dialogs::Icon::Critical, kTitle,
                            QStringLiteral("QuorlOffice could not install its data files: ") + result.detail);
            return false;
        }
    }

    s.linkBase = LinkFiles::baseName(s.paths.appPath());
    s.todayText = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    s.linkRows = 30;
    s.linkColumns = 5;
    s.pictureCount = 0;
    s.exportAlpha = 205;
    s.normalAlpha = 255;

    QString error;
    if (OptionsFile::read(s.optionsPath(), s.options, WebEngine::startPageAddress(), &error)
        == OptionsFile::ReadResult::CannotCreate) {
        dialogs.message(parent, Dialogs::Icon::Critical, kTitle,
                        QStringLiteral("QuorlOffice cannot start: its options file could not be written (")
                            + s.optionsPath() + QStringLiteral("): ") + error);
        return false;
    }
    return true;
}

bool readLanguage(AppState &state, bool startUp, QWidget *parent, std::optional<int> *tabNumber)
{
    const QString path = state.languagePath();
    // Read into copies: a file that cannot be read leaves the current language whole.
    LangTable table;
    LangSettings settings = state.langSettings;
    if (!LanguageFile::read(path, table, settings, tabNumber)) {
        if (!startUp)
            return false;
        // At start-up the named file is gone or unreadable: start in English rather
        // than not at all, and say so only when there is no English file either.
        state.options.langName = QStringLiteral("English");
        if (!LanguageFile::read(state.languagePath(), table, settings, tabNumber)) {
            Dialogs::instance().message(parent, Dialogs::Icon::Critical, kTitle,
                                        QStringLiteral("QuorlOffice cannot start: no language file could be read (")
                                            + path + QStringLiteral(")."));
            return false;
        }
    }
    state.lang = table;
    state.langSettings = settings;
    Translations::apply(settings.langCode);
    return true;
}

} // namespace StartUp
