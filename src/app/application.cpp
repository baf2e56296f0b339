#include "application.h"

#include "platform/webengine.h"

#include <QCoreApplication>
#include <QDir>
#include <QQuickWindow>
#include <QSGRendererInterface>

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

QString appPath()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace Application
