#include "app/application.h"
#include "platform/office/officespare.h"
#include "support/engineenv.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

// Qt warnings from our own code fail the test that caused them; the engine's own
// chatter about the virtual display does not.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    fprintf(stderr, "%s\n", qPrintable(message));
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return;
    static const char *const ignored[] = {"Qt WebEngine", "GL", "XDG_RUNTIME_DIR", "QStandardPaths",
                                          "Release of profile", "QXcb", "xcb", "js:", "Remote debugging",
                                          "QFont", "Sandboxing", "libpng", "Could not find",
                                          // the engine's own notice about its module files
                                          "crbug/1173575"};
    for (const char *text : ignored) {
        if (message.contains(QLatin1String(text)))
            return;
    }
    ADD_FAILURE() << "Qt warning: " << message.toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    prepareEngineForTests();
    Application::prepare();
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    qInstallMessageHandler(messageHandler);
    // No office worker is started ahead unless a test asks for one: the tests count
    // the workers their exports start.
    OfficeSpare::setEnabled(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
