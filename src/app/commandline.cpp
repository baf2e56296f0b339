#include "commandline.h"

#include "browser/address.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace CommandLine {

QString addressOf(const QString &argument, const QString &workingFolder)
{
    const QString text = argument.trimmed();
    if (text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(text).toString();
    const QFileInfo file(QDir(workingFolder.isEmpty() ? QDir::currentPath() : workingFolder), text);
    if (!text.isEmpty() && file.exists())
        return QUrl::fromLocalFile(QDir::cleanPath(file.absoluteFilePath())).toString();
    return Address::complete(text);
}

Request parse(const QStringList &arguments, const QString &workingFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A web browser that turns the page you read into an office "
                                                    "document."));
    // The help and the version are the program's own options, as they are answered
    // before Qt is set up (Qt's would offer Qt's options too, which need a display).
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and end."));
    parser.addOption(help);
    parser.addOption(version);
    const QCommandLineOption folder(QStringLiteral("program-folder"),
                                    QStringLiteral("Keep the data (Data, Languages, Links, Images) in <folder> "
                                                   "instead of beside the program."),
                                    QStringLiteral("folder"));
    parser.addOption(folder);
    QCommandLineOption cannotStart(QStringLiteral("cannot-start"),
                                   QStringLiteral("Show <reason> as the reason the program cannot start, and end."),
                                   QStringLiteral("reason"));
    // Only the launcher uses it.
    cannotStart.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(cannotStart);
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("Addresses or files to open: the first in the current tab, the "
                                                "next in free tabs. Handed to the window already open on the same "
                                                "program folder, if there is one."),
                                 QStringLiteral("[address...]"));

    Request request;
    // Without an application object Qt's help names no program.
    auto helpText = [&] {
        return parser.helpText().replace(QStringLiteral("<executable_name>"), arguments.value(0));
    };
    auto refuse = [&](const QString &error) {
        request.exitStatus = 2;
        request.output = error + u'\n' + helpText();
        return request;
    };
    if (!parser.parse(arguments))
        return refuse(parser.errorText());
    if (parser.isSet(help)) {
        request.exitStatus = 0;
        request.output = helpText();
        return request;
    }
    if (parser.isSet(version)) {
        request.exitStatus = 0;
        request.output = QStringLiteral("QuorlOffice %1.%2.%3\n")
                             .arg(QUORL_VERSION_MAJOR)
                             .arg(QUORL_VERSION_MINOR)
                             .arg(QUORL_VERSION_PATCH);
        return request;
    }
    for (const QString &argument : parser.positionalArguments()) {
        if (!argument.trimmed().isEmpty())
            request.addresses.append(addressOf(argument, workingFolder));
    }
    if (parser.isSet(folder)) {
        const QString value = parser.value(folder);
        if (value.isEmpty())
            return refuse(QStringLiteral("The program folder must not be empty."));
        request.programFolder = QDir::cleanPath(QFileInfo(value).absoluteFilePath());
    }
    if (parser.isSet(cannotStart)) {
        request.cannotStart = parser.value(cannotStart);
        if (request.cannotStart.isEmpty())
            request.cannotStart = QStringLiteral("QuorlOffice could not be set up.");
    }
    return request;
}

} // namespace CommandLine
