#include "application.h"

#include "platform/paths.h"
#include "platform/privacy.h"
#include "platform/textfile.h"
#include "platform/webengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QSettings>

// The resources live in the static library, which the linker would otherwise drop.
static void initResources()
{
    Q_INIT_RESOURCE(resources);
    Q_INIT_RESOURCE(images);
}

namespace Application {

void prepare()
{
    initResources();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Nothing of the program's is written below the user's home: no shader cache there.
    QCoreApplication::setAttribute(Qt::AA_DisableShaderDiskCache);
    QCoreApplication::setApplicationName(QStringLiteral("QuorlOffice"));
    QCoreApplication::setOrganizationName(QStringLiteral("QuorlOffice"));
    WebEngine::registerSchemes();
    // Without a graphics device OpenGL would only be emulated on the processor: that
    // emulation alone costs the program some 60 MB and a good part of its start, to draw
    // frames the engine has already drawn in software. The pages are then composed in
    // software; with a graphics device they go through OpenGL as usual.
    if (!hasGraphicsDevice())
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

bool hasGraphicsDevice()
{
    return !QDir(QStringLiteral("/dev/dri")).entryList({QStringLiteral("renderD*")}, QDir::System).isEmpty();
}

QString executablesFolder()
{
    return QCoreApplication::applicationDirPath();
}

bool useProgramFolder(const Paths &paths, QString *error)
{
    const QString &root = paths.appPath();
    // A folder of the user's own (not one the executables came in) is the program's as
    // a whole: nothing in it is anyone else's business.
    if (root != paths.executables() && !Privacy::closeFolder(root, error))
        return false;
    // The data folders and their files, whichever the folder (in a portable one the
    // executables beside them stay as they were unpacked). One that cannot be closed is
    // no reason not to start: the program says so when it cannot write there.
    for (const char *name : {"Data", "Languages", "Links", "Images"}) {
        const QString folder = Paths::resolve(root, QString::fromLatin1(name));
        if (QFileInfo(folder).isDir())
            Privacy::closeFolder(folder);
    }
    TextFile::setPrivateFolder(root);
    const QString data = Paths::resolve(root, QStringLiteral("Data"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, data);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, data);
    return true;
}

} // namespace Application
