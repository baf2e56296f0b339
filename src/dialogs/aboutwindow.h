#pragma once

#include <QDialog>
#include <QUrl>

struct AppState;
class CommandBar;
class CommandButton;
class CommandCatalogue;
class LangTable;
class QLabel;

// What the about window asks of the main window.
class AboutHost
{
public:
    virtual ~AboutHost() = default;
    // Shows the program's own help page.
    virtual void showHelp() = 0;
};

// The about window: the program's title and version, the disclaimer, the two sites of the
// project with what each offers, the credit line and the bar "STANDARD7".
class AboutWindow : public QDialog
{
    Q_OBJECT
public:
    AboutWindow(AppState &state, CommandCatalogue &catalogue, AboutHost &host, QWidget *parent);

    // The buttons "ABOUTOK", "ABOUTHELP" and the bar "STANDARD7", made the first time in
    // the run only.
    static void makeBars(CommandCatalogue &catalogue);

    // Entry 198, a space and major.minor.revision of the build.
    static QString versionLine(const LangTable &lang);

    static QUrl firstSite();
    static QUrl secondSite();
    static QUrl mailAddress();

    CommandBar *commandBar() const { return m_bar; }

private:
    void barClick(int index, CommandButton *button);
    QLabel *label(const char *name, const QString &text);

    AboutHost &m_host;
    CommandBar *m_bar = nullptr;
};
