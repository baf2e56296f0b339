#include "programfolder.h"

#include <QRegularExpression>

namespace {

QByteArray sourceFile(const QString &name)
{
    QFile f(QStringLiteral(QUORL_DATA_DIR "/") + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
    return f.readAll();
}

QByteArray templateFile(const QString &name)
{
    QFile f(QStringLiteral(QUORL_PROGRAM_DIR "/../templates/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("template");
}

const char *const kLooseFiles[] = {"Links.Bok", "Links.000", "Links.001", "Links.002"};
const char *const kHelpFiles[] = {"QuorlGOTabENG.pdf", "QuorlGOTabITA.pdf"};

} // namespace

QByteArray ProgramFolder::loopbackLanguage(const QString &file, const QString &base) const
{
    QString text = TextFile::decode(sourceFile(file));
    static const QRegularExpression address(QStringLiteral("=https?://[^\\r\\n]*"));
    text.replace(address, QStringLiteral("=") + base + QStringLiteral("engine"));
    return TextFile::encode(text);
}

void ProgramFolder::writeOptions(const QString &homePage, int barStyle, int floatBars, const QString &language)
{
    mkdir(QStringLiteral("Data"));
    write(QStringLiteral("Data/QuorlOffice.Opt"),
          TextFile::encode(QStringLiteral("%1\r\n0\r\n%2\r\n0\r\n%3\r\n%4\r\n")
                               .arg(barStyle)
                               .arg(floatBars)
                               .arg(homePage, language)));
}

void ProgramFolder::deliver(const QString &homePage)
{
    for (const char *name : kLooseFiles)
        write(QString::fromLatin1(name), sourceFile(QString::fromLatin1(name)));
    write(QStringLiteral("Lang_English.txt"), loopbackLanguage(QStringLiteral("Lang_English.txt"), baseUrl));
    write(QStringLiteral("Lang_Italiano.txt"), loopbackLanguage(QStringLiteral("Lang_Italiano.txt"), baseUrl));
    write(QStringLiteral("template.doc"), templateFile(QStringLiteral("template.doc")));
    write(QStringLiteral("templateh.doc"), templateFile(QStringLiteral("templateh.doc")));
    for (const char *name : kHelpFiles)
        write(QString::fromLatin1(name), templateFile(QString::fromLatin1(name)));
    write(QStringLiteral("QuorlFirst.txt"), "");
    if (!homePage.isEmpty())
        writeOptions(homePage);
}

void ProgramFolder::installed(const QString &homePage)
{
    for (const char *name : kLooseFiles)
        write(QStringLiteral("Links/") + QString::fromLatin1(name), sourceFile(QString::fromLatin1(name)));
    write(QStringLiteral("Languages/Lang_English.txt"),
          loopbackLanguage(QStringLiteral("Lang_English.txt"), baseUrl));
    write(QStringLiteral("Languages/Lang_Italiano.txt"),
          loopbackLanguage(QStringLiteral("Lang_Italiano.txt"), baseUrl));
    write(QStringLiteral("Data/Template.doc"), templateFile(QStringLiteral("template.doc")));
    write(QStringLiteral("Data/TemplateH.doc"), templateFile(QStringLiteral("templateh.doc")));
    for (const char *name : kHelpFiles)
        write(QStringLiteral("Data/") + QString::fromLatin1(name), templateFile(QString::fromLatin1(name)));
    mkdir(QStringLiteral("Images"));
    writeOptions(homePage);
    QFile::copy(QStringLiteral(QUORL_PROGRAM_DIR "/quorl-office"), file(QStringLiteral("quorl-office")));
}
