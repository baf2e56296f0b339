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
    QCoreApplication::setApplicationName(QStringLiteral("QuorlOffice"));
    QCoreApplication::setOrganizationName(QStringLiteral("QuorlOffice"));
    WebEngine::registerSchemes();
}

QString appPath()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace Application
