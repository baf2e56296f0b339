#include "application.h"

#include "platform/webengine.h"

#include <QCoreApplication>

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
}

QString appPath()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace Application
