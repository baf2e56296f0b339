#pragma once

#include "settings/language.h"

#include <QDialog>
#include <QHash>

#include <vector>

struct AppState;
class CommandBar;
class CommandButton;
class CommandCatalogue;
class FindBar;
class QLabel;
class QPlainTextEdit;

// What the language editor hands back to the main window.
class LanguageEditorHost
{
public:
    virtual ~LanguageEditorHost() = default;
    // A language file was written into the Languages folder under this file name.
    virtual void languageSaved(const QString &fileName) = 0;
};

// The language editor: makes a new language file from the English one. The whole file
// is edited as plain text; the line under the cursor is told apart as the language
// reader takes it, with the English text of the same entry beside it.
class LanguageEditor : public QDialog
{
    Q_OBJECT
public:
    // Why a typed name cannot make a language file.
    enum class NameProblem { None, Empty, Separator, Dot, Control, TooLong, Reserved };

    LanguageEditor(AppState &state, CommandCatalogue &catalogue, LanguageEditorHost &host, QWidget *parent);

    // The buttons "EXIT3", "SAVE5" and the bar "STANDARD5", made the first time in the
    // run only.
    static void makeBars(CommandCatalogue &catalogue);

    // The name as the file will carry it (trimmed) must come back whole as the
    // language's name, in a file name the folder's file system takes.
    static NameProblem checkName(const QString &name, const QString &folder);

    // Shows the window modally; returns when it has closed.
    void run();

    // "SAVE5" and "EXIT3".
    void save();
    void leave();

    // The whole text with CR LF line ends, as it is saved.
    QString text() const;

    CommandBar *commandBar() const { return m_bars.front(); }
    QPlainTextEdit *editor() const { return m_fileText; }
    FindBar *findBar() const { return m_findBar; }
    QLabel *entryLabel() const { return m_entryLabel; }
    QLabel *fileLabel() const { return m_fileLabel; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void loadEnglish();
    void barClick(int index, CommandButton *button);
    void describeLine();
    void openFind();
    void find(const QString &text, bool backward, const std::function<void(int, int)> &done);
    void stopFinding();
    void message(const QString &text);
    QString problemText(NameProblem problem) const;

    AppState &m_state;
    CommandCatalogue &m_catalogue;
    LanguageEditorHost &m_host;
    std::vector<CommandBar *> m_bars;
    QPlainTextEdit *m_fileText = nullptr;
    FindBar *m_findBar = nullptr;
    QLabel *m_entryLabel = nullptr;
    QLabel *m_fileLabel = nullptr;

    bool m_englishRead = false;
    QString m_englishPath;
    LangTable m_english;
    QHash<QString, QString> m_englishSettings; // key as the reader compares it, whole line
};
