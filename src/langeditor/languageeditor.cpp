#include "languageeditor.h"

#include "settings/appstate.h"
#include "browser/findbar.h"
#include "commands/secondarybars.h"
#include "dialogs/inputdialog.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/imagelist.h"
#include "platform/paths.h"
#include "platform/privacy.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kInstance = 5;
const QString kTitle = QStringLiteral("QuorlOffice");

const ImageList &images()
{
    static const ImageList list({ImageList::main().icon(0), ImageList::main().icon(6)},
                                {QStringLiteral("#exit"), QStringLiteral("#save")});
    return list;
}

} // namespace

void LanguageEditor::makeBars(CommandCatalogue &catalogue)
{
    if (!SecondaryBars::firstLoad(SecondaryBars::Window::LanguageEditor))
        return;
    SecondaryBars::addButtons(catalogue, {{"EXIT3", 0}, {"SAVE5", 1}});
    SecondaryBars::build(catalogue, QStringLiteral("STANDARD5"),
                         {QStringLiteral("SEP1"), QStringLiteral("EXIT3"), QStringLiteral("SEP13"),
                          QStringLiteral("SAVE5"), QStringLiteral("SEP2")});
}

LanguageEditor::NameProblem LanguageEditor::checkName(const QString &name, const QString &folder)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return NameProblem::Empty;
    for (const QChar c : trimmed) {
        if (c == u'/' || c == u'\\')
            return NameProblem::Separator;
        // The language's name ends at the first dot of its file name, so a dot
        // anywhere would make a language that cannot be found again.
        if (c == u'.')
            return NameProblem::Dot;
        if (c.category() == QChar::Other_Control)
            return NameProblem::Control;
    }
    // "LANG:NEW" is the command that opens this editor.
    if (trimmed.compare(QLatin1String("new"), Qt::CaseInsensitive) == 0)
        return NameProblem::Reserved;
    const QByteArray fileName = QFile::encodeName(QStringLiteral("Lang_") + trimmed + QStringLiteral(".Txt"));
    if (fileName.size() > Paths::nameMax(QFileInfo(folder).isDir() ? folder : QFileInfo(folder).path()))
        return NameProblem::TooLong;
    return NameProblem::None;
}

LanguageEditor::LanguageEditor(AppState &state, CommandCatalogue &catalogue, LanguageEditorHost &host,
                               QWidget *parent)
    : QDialog(parent)
    , m_state(state)
    , m_catalogue(catalogue)
    , m_host(host)
{
    setObjectName(QStringLiteral("frmLang"));
    setWindowTitle(state.lang.entry(209));

    auto *cmdBar = new CommandBar(kInstance, this);
    m_bars.push_back(cmdBar);
    connect(cmdBar, &CommandBar::buttonClick, this, &LanguageEditor::barClick);
    connect(cmdBar, &CommandBar::newInstanceRequest, this, [this](int, CommandBar **created) {
        auto *extra = new CommandBar(kInstance + static_cast<int>(m_bars.size()), this);
        extra->setVisible(false);
        connect(extra, &CommandBar::buttonClick, this, &LanguageEditor::barClick);
        m_bars.push_back(extra);
        *created = extra;
    });

    m_fileText = new QPlainTextEdit(this);
    m_fileText->setObjectName(QStringLiteral("Text1"));
    m_fileText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_fileText->setLineWrapMode(QPlainTextEdit::NoWrap);

    m_findBar = new FindBar(this);
    m_findBar->setTexts(state.lang.entry(231), state.lang.entry(232), state.lang.entry(233), state.lang.entry(234));

    auto *status = new QWidget(this);
    status->setObjectName(QStringLiteral("picStat"));
    m_entryLabel = new QLabel(status);
    m_entryLabel->setObjectName(QStringLiteral("labEntry"));
    m_fileLabel = new QLabel(status);
    m_fileLabel->setObjectName(QStringLiteral("labFile"));
    for (QLabel *l : {m_entryLabel, m_fileLabel}) {
        l->setTextFormat(Qt::PlainText);
        l->setFrameShape(QFrame::StyledPanel);
        l->setFrameShadow(QFrame::Sunken);
    }
    // A long English text is cut at the window's edge rather than widening it.
    m_entryLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *statusLayout = new QHBoxLayout(status);
    statusLayout->setContentsMargins(2, 1, 2, 1);
    statusLayout->setSpacing(2);
    statusLayout->addWidget(m_entryLabel, 1);
    statusLayout->addWidget(m_fileLabel);
    m_fileLabel->hide();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(cmdBar);
    layout->addWidget(m_fileText, 1);
    layout->addWidget(m_findBar);
    layout->addWidget(status);

    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        resize(screen->geometry().width() / 2, screen->geometry().height() / 2);

    makeBars(catalogue);
    cmdBar->setImageLists(&images(), &images());
    SecondaryBars::mount(cmdBar, catalogue, QStringLiteral("STANDARD5"), state.options.barStyle);

    loadEnglish();
    // Typing, pasting, cutting and deleting each leave an undo step: the first one
    // marks the run as having unsaved work.
    connect(m_fileText->document(), &QTextDocument::undoCommandAdded, this,
            [this] { m_state.langEditorModified = true; });
    connect(m_fileText, &QPlainTextEdit::cursorPositionChanged, this, &LanguageEditor::describeLine);
    connect(m_fileText, &QPlainTextEdit::textChanged, this, &LanguageEditor::describeLine);
    auto *findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, &LanguageEditor::openFind);
    m_fileText->setFocus();
    describeLine();
}

void LanguageEditor::loadEnglish()
{
    m_englishPath = m_state.paths.file(QStringLiteral("Languages/lang_english.txt"));
    const auto text = TextFile::readText(m_englishPath);
    m_englishRead = text.has_value();
    if (!text)
        return;
    m_fileText->setPlainText(*text);
    const QStringList lines = TextFile::splitLines(*text);
    LangSettings ignored;
    LanguageFile::parse(lines, m_english, ignored, nullptr);
    for (const QString &line : lines) {
        if (LanguageFile::lineKind(line) == LanguageFile::LineKind::Setting)
            m_englishSettings.insert(LanguageFile::settingKey(line), line.trimmed());
    }
}

void LanguageEditor::run()
{
    if (!m_englishRead) {
        QTimer::singleShot(0, this, [this] {
            message(m_state.text(311, QStringLiteral("The English language file could not be read, so the "
                                                     "editor starts empty:"))
                    + u'\n' + m_englishPath);
        });
    }
    exec();
}

QString LanguageEditor::text() const
{
    QString text = m_fileText->document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QStringLiteral("\r\n"));
    return text;
}

void LanguageEditor::barClick(int index, CommandButton *button)
{
    if (index != kInstance)
        return;
    if (button->key() == QLatin1String("EXIT3"))
        leave();
    else if (button->key() == QLatin1String("SAVE5"))
        save();
}

void LanguageEditor::leave()
{
    if (!m_state.langEditorModified) {
        accept();
        return;
    }
    InputDialog question(m_state, m_catalogue, this);
    // Only a button counts as an answer: closing the question is not a yes, even when
    // an earlier question of the run was answered yes.
    if (question.ask() && m_state.inputAnswer == 1)
        accept();
}

void LanguageEditor::save()
{
    bool ok = false;
    const QString answer = Dialogs::instance().input(this, m_state.lang.entry(211), QString(), QString(), &ok);
    if (!ok || answer.isEmpty())
        return;
    const QString name = answer.trimmed();
    const QString folder = m_state.paths.file(QStringLiteral("Languages"));
    const NameProblem problem = checkName(name, folder);
    if (problem != NameProblem::None) {
        message(m_state.text(312, QStringLiteral("This name cannot be used for a language file:")) + u'\n' + name
                + u'\n' + problemText(problem));
        return;
    }
    const QString cannotSave = m_state.text(319, QStringLiteral("The language file could not be saved:"));
    if (!Privacy::makeFolder(folder)) {
        message(cannotSave + u'\n' + folder);
        return;
    }
    // An existing file of that name, in whatever case, is the one replaced.
    const QString path = Paths::resolve(folder, QStringLiteral("Lang_") + name + QStringLiteral(".Txt"));
    QString error;
    if (!TextFile::writeBytes(path, TextFile::encode(text()), &error)) {
        message(cannotSave + u'\n' + path + u'\n' + error);
        return;
    }
    const QString fileName = QFileInfo(path).fileName();
    m_fileLabel->setText(m_state.text(320, QStringLiteral("Saved as")) + u' ' + fileName);
    m_fileLabel->show();
    m_host.languageSaved(fileName);
}

QString LanguageEditor::problemText(NameProblem problem) const
{
    switch (problem) {
    case NameProblem::None: break;
    case NameProblem::Empty: return m_state.text(313, QStringLiteral("The name is empty."));
    case NameProblem::Separator: return m_state.text(314, QStringLiteral("The name cannot contain / or \\."));
    case NameProblem::Dot:
        return m_state.text(315, QStringLiteral("The name cannot contain a dot: the program reads a language's "
                                                "name up to the first dot."));
    case NameProblem::Control:
        return m_state.text(316, QStringLiteral("The name cannot contain control characters."));
    case NameProblem::TooLong: return m_state.text(317, QStringLiteral("The name is too long for a file name."));
    case NameProblem::Reserved:
        return m_state.text(318, QStringLiteral("The name New belongs to the command that makes a new language."));
    }
    return {};
}

void LanguageEditor::message(const QString &text)
{
    Dialogs::instance().message(this, Dialogs::Icon::Warning, kTitle, text);
}

void LanguageEditor::describeLine()
{
    const QTextBlock current = m_fileText->textCursor().block();
    // Entries are counted from the top exactly as the language reader counts them.
    int entry = 0;
    for (QTextBlock block = m_fileText->document()->begin(); block.isValid(); block = block.next()) {
        if (LanguageFile::lineKind(block.text()) == LanguageFile::LineKind::Entry)
            ++entry;
        if (block == current)
            break;
    }
    QStringList parts{m_state.text(321, QStringLiteral("Line")) + u' ' + QString::number(current.blockNumber() + 1)};
    const QString english = m_state.text(323, QStringLiteral("English:")) + u' ';
    switch (LanguageFile::lineKind(current.text())) {
    case LanguageFile::LineKind::Entry:
        parts << m_state.text(322, QStringLiteral("Entry")) + u' ' + QString::number(entry);
        if (entry > LangTable::kSize)
            parts << m_state.text(326, QStringLiteral("past the last entry the program reads"));
        else if (m_englishRead)
            parts << english + u'"' + m_english.entry(entry) + u'"';
        break;
    case LanguageFile::LineKind::Setting: {
        const QString key = LanguageFile::settingKey(current.text());
        parts << m_state.text(325, QStringLiteral("Setting")) + u' ' + key;
        if (m_englishSettings.contains(key))
            parts << english + m_englishSettings.value(key);
        break;
    }
    case LanguageFile::LineKind::Heading: parts << m_state.text(324, QStringLiteral("Heading")); break;
    case LanguageFile::LineKind::Ignored:
        if (!current.text().trimmed().isEmpty())
            parts << m_state.text(327, QStringLiteral("a line the program does not read"));
        break;
    }
    const QString text = parts.join(QStringLiteral("   "));
    m_entryLabel->setText(text);
    m_entryLabel->setToolTip(text);
}

void LanguageEditor::openFind()
{
    m_findBar->open(FindBar::Finder{
        [this](const QString &text, bool backward, const std::function<void(int, int)> &done) {
            find(text, backward, done);
        },
        [this] { stopFinding(); }});
}

void LanguageEditor::find(const QString &text, bool backward, const std::function<void(int, int)> &done)
{
    std::vector<QTextCursor> matches;
    if (!text.isEmpty()) {
        const QTextDocument *doc = m_fileText->document();
        for (QTextCursor c = doc->find(text, 0); !c.isNull(); c = doc->find(text, c))
            matches.push_back(c);
    }
    if (matches.empty()) {
        m_fileText->setExtraSelections({});
        done(0, 0);
        return;
    }
    // Typing into the find box keeps the match where it is; next and previous move on.
    const QTextCursor current = m_fileText->textCursor();
    const bool onMatch = current.hasSelection() && current.selectedText().compare(text, Qt::CaseInsensitive) == 0;
    const int start = current.selectionStart();
    const int count = static_cast<int>(matches.size());
    int active = -1;
    if (backward) {
        for (int i = count - 1; i >= 0 && active < 0; --i) {
            if (matches[i].selectionStart() < start)
                active = i;
        }
        if (active < 0)
            active = count - 1;
    } else {
        for (int i = 0; i < count && active < 0; ++i) {
            const int at = matches[i].selectionStart();
            if (onMatch ? at > start : at >= start)
                active = i;
        }
        if (active < 0)
            active = 0;
    }
    QList<QTextEdit::ExtraSelection> marks;
    for (int i = 0; i < count; ++i) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = matches[i];
        mark.format.setBackground(i == active ? QColor(255, 150, 50) : QColor(255, 236, 140));
        marks.append(mark);
    }
    m_fileText->setExtraSelections(marks);
    m_fileText->setTextCursor(matches[active]);
    done(active + 1, count);
}

void LanguageEditor::stopFinding()
{
    m_fileText->setExtraSelections({});
    m_fileText->setFocus();
}

void LanguageEditor::keyPressEvent(QKeyEvent *event)
{
    // Escape closes the find bar; it never throws away the window and its typing.
    if (event->key() == Qt::Key_Escape) {
        if (m_findBar->isVisible())
            m_findBar->close();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
