#include "commandline.h"

#include "browser/address.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace CommandLine {

const QStringList &formats()
{
    static const QStringList names = {
        QStringLiteral("doc"), QStringLiteral("docx"), QStringLiteral("odt"),  QStringLiteral("pdf"),
        QStringLiteral("xls"), QStringLiteral("xlsx"), QStringLiteral("ods"),  QStringLiteral("ppt"),
        QStringLiteral("pptx"), QStringLiteral("odp"), QStringLiteral("links"), QStringLiteral("png"),
        QStringLiteral("mht"), QStringLiteral("html")};
    return names;
}

bool asksForExport(const QStringList &arguments)
{
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == QLatin1String("--export") || argument.startsWith(QLatin1String("--export=")))
            return true;
    }
    return false;
}

Request parse(const QStringList &arguments, const QString &workingFolder)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A web browser that turns the page you read into an office "
                                                    "document.\nWith --export it makes the documents of pages "
                                                    "with no window: quorloffice --export=pdf --output=FOLDER "
                                                    "ADDRESS..."));
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
    const QCommandLineOption exportTo(
        QStringLiteral("export"),
        QStringLiteral("Export each page given to a file of <format>, with no window and no display, and end: "
                       "doc, docx, odt (word processor), pdf, xls, xlsx, ods (spreadsheet), "
                       "ppt, pptx, odp (a slide of the page), links (the page's links to other sites, in a "
                       "word-processor document), png (a picture of the page), mht (web archive), html (the "
                       "page's HTML). The exit status is 0 only when every page was exported."),
        QStringLiteral("format"));
    parser.addOption(exportTo);
    const QCommandLineOption output(
        QStringLiteral("output"),
        QStringLiteral("With --export: the folder for the files, each named from its page's title (an existing "
                       "file is never replaced: the next free name is taken and said), or, for one page, the "
                       "file itself (replaced only by a complete new one). Default: the current folder."),
        QStringLiteral("path"));
    parser.addOption(output);
    const QCommandLineOption quiet(QStringLiteral("quiet"),
                                   QStringLiteral("With --export: no progress line per page on standard error; "
                                                  "failures are still said."));
    parser.addOption(quiet);
    const QCommandLineOption wait(QStringLiteral("wait"),
                                  QStringLiteral("With --export: the longest wait for each page to load, in "
                                                 "seconds (default 60)."),
                                  QStringLiteral("seconds"));
    parser.addOption(wait);
    const QCommandLineOption urlsFile(
        QStringLiteral("urls-file"),
        QStringLiteral("With --export: also export the addresses in <file>, one a line (- reads them from "
                       "standard input); empty lines and lines starting with # are passed over."),
        QStringLiteral("file"));
    parser.addOption(urlsFile);
    parser.addPositionalArgument(QStringLiteral("address"),
                                 QStringLiteral("Web addresses (without a scheme they get http://) and files. "
                                                "Without --export they open in the window: the first in the "
                                                "current tab, the next in free tabs, handed to the window already "
                                                "open on the same program folder if there is one. With --export: "
                                                "the pages to export."),
                                 QStringLiteral("[address|file...]"));

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
    const QList<QCommandLineOption> exportOnly = {output, quiet, wait, urlsFile};
    if (parser.isSet(exportTo)) {
        ExportRequest batch;
        batch.format = parser.value(exportTo).toLower();
        if (!formats().contains(batch.format))
            return refuse(QStringLiteral("Unknown export format: ") + parser.value(exportTo)
                          + QStringLiteral(" (one of ") + formats().join(QStringLiteral(", ")) + u')');
        if (parser.isSet(output)) {
            const QString value = parser.value(output);
            if (value.isEmpty())
                return refuse(QStringLiteral("The output path must not be empty."));
            batch.output = QDir::cleanPath(QFileInfo(value).absoluteFilePath());
            batch.outputIsFolder = value.endsWith(u'/') || QFileInfo(batch.output).isDir();
        }
        batch.quiet = parser.isSet(quiet);
        if (parser.isSet(wait)) {
            bool number = false;
            batch.waitSeconds = parser.value(wait).toInt(&number);
            if (!number || batch.waitSeconds <= 0)
                return refuse(QStringLiteral("The wait must be a whole number of seconds above 0: ")
                              + parser.value(wait));
        }
        batch.urlsFile = parser.value(urlsFile);
        if (parser.isSet(urlsFile) && batch.urlsFile.isEmpty())
            return refuse(QStringLiteral("The file of addresses must not be empty."));
        batch.addresses = parser.positionalArguments();
        if (batch.addresses.isEmpty() && batch.urlsFile.isEmpty())
            return refuse(QStringLiteral("Name the pages to export: addresses, files or --urls-file."));
        request.exports = batch;
    } else {
        for (const QCommandLineOption &option : exportOnly) {
            if (parser.isSet(option))
                return refuse(QStringLiteral("--") + option.names().constFirst()
                              + QStringLiteral(" goes with --export."));
        }
        const QDir here(workingFolder.isEmpty() ? QDir::currentPath() : workingFolder);
        for (const QString &argument : parser.positionalArguments()) {
            const QString text = argument.trimmed();
            if (!text.isEmpty())
                request.addresses.append(Address::fromArgument(text, here.path()));
        }
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
