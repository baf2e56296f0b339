#include "linktablewindow.h"

#include "settings/appstate.h"
#include "commands/secondarybars.h"
#include "linktable/linkeditor.h"
#include "linktable/linkgrid.h"
#include "linktable/linktable.h"
#include "linktable/linktablehost.h"
#include "platform/commandbar.h"
#include "platform/dialogs.h"
#include "platform/dragbutton.h"
#include "platform/imagelist.h"
#include "platform/shell.h"
#include "platform/tabstrip.h"
#include "platform/twips.h"
#include "platform/windowgeometry.h"
#include "settings/inifile.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QUrl>

#include <cmath>

namespace {

const QString kTitle = QStringLiteral("QuorlOffice");

// Design sizes and places, in twips.
constexpr int kDesignWidth = 14325;
constexpr int kDesignHeight = 6030;
constexpr int kResizeMinimum = 13400;
constexpr int kBarPanelHeight = 385; // as high as the main window's bar panel
constexpr int kExitBarWidth = 530;
constexpr int kTitleBoxLeft = 3500;
constexpr int kTitleBoxWidth = 2500;
constexpr int kTitleBoxTop = 30;
constexpr int kTitleBoxHeight = 285;
constexpr int kLabelWidth = 2500;
constexpr int kMoveTop = 70;
constexpr int kStripLeft = 100;
constexpr int kStripStep = 230;
constexpr int kGridTop = 2040;
constexpr int kGridLeft = 100;
constexpr int kGridStartLeft = 180;

struct Column
{
    int header; // language table entry, 0 for none
    int twips;
};
// Column 5 takes what is left; this is its width before the first resize.
constexpr Column kColumns[] = {{64, 400}, {65, 4000}, {0, 0}, {67, 2000}, {68, 1600}, {69, 4665}, {73, 1100}};

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }
int tx(int pixels) { return static_cast<int>(Twips::fromPixelsX(pixels)); }
int ty(int pixels) { return static_cast<int>(Twips::fromPixelsY(pixels)); }

const char *kWindowStyle = "LinkTableWindow { background: rgb(197, 224, 254); }";

} // namespace

LinkTableWindow::LinkTableWindow(AppState &state, CommandCatalogue &catalogue, Dialogs &dialogs,
                                 LinkTableHost &host, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
                          | Qt::WindowCloseButtonHint)
    , m_state(state)
    , m_dialogs(dialogs)
    , m_host(host)
    , m_catalogue(catalogue)
{
    setObjectName(QStringLiteral("frmTab"));
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QString::fromLatin1(kWindowStyle));
    m_table = new LinkTable(state.linkBase, &state.groups, this);
    m_table->onTitleApplied = [this] { showGroupTitles(); };
    buildWidgets();
    load();
}

LinkTableWindow::~LinkTableWindow()
{
    m_table->onTitleApplied = nullptr;
}

void LinkTableWindow::buildWidgets()
{
    m_barPanel = new QWidget(this);
    m_barPanel->setObjectName(QStringLiteral("PicLab"));
    for (int i = 0; i < 2; ++i) {
        m_bars[i] = new CommandBar(i, m_barPanel);
        connect(m_bars[i], &CommandBar::buttonClick, this,
                [this](int index, CommandButton *button) { runCommand(index, button->key()); });
    }
    m_moveStrip = new DragButton(m_barPanel);
    m_moveStrip->setObjectName(QStringLiteral("lblMove"));
    m_moveStrip->setFocusPolicy(Qt::NoFocus);
    m_moveStrip->setCursor(Qt::SizeAllCursor);
    m_moveStrip->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; }"));
    m_heading = new QLabel(m_barPanel);
    m_heading->setObjectName(QStringLiteral("Label1"));
    m_heading->setTextFormat(Qt::PlainText);
    m_heading->setAttribute(Qt::WA_TransparentForMouseEvents, true);
    m_heading->setStyleSheet(QStringLiteral("color: #0b2d5b; font-weight: bold;"));
    m_titleBox = new QLineEdit(m_barPanel);
    m_titleBox->setObjectName(QStringLiteral("Text1"));
    m_titleBox->installEventFilter(this);

    for (int s = 0; s < kStrips; ++s) {
        m_strips[s] = new TabStrip(s, kTabsPerStrip, this);
        m_strips[s]->setRowHeight(py(kStripStep));
        connect(m_strips[s], &TabStrip::clicked, this, &LinkTableWindow::chooseGroup);
    }
    m_grid = new LinkGrid(m_table, this);
    connect(m_grid, &LinkGrid::cellClicked, this, &LinkTableWindow::gridClicked);
    connect(m_grid, &LinkGrid::cellDoubleClicked, this, &LinkTableWindow::gridDoubleClicked);
}

void LinkTableWindow::load()
{
    const LangTable &lang = m_state.lang;
    m_ready = false;
    m_titleBox->hide();
    m_currentStrip = 0;
    m_barPanel->move(0, 0);
    setWindowTitle(lang.entry(33));

    mountBars(m_catalogue);
    showGroupTitles();

    m_titleBox->setGeometry(px(kTitleBoxLeft), py(kTitleBoxTop), px(kTitleBoxWidth), py(kTitleBoxHeight));
    m_titleBox->setAccessibleName(lang.entry(77));
    m_moveStrip->setToolTip(lang.entry(215));
    arrange(px(kDesignWidth), py(kDesignHeight));
    placeWindow();

    // As many rows as fill three quarters of the screen.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double screenTwips = static_cast<double>(ty(screen ? screen->geometry().height() : 768));
    m_table->setMinimumRows(static_cast<int>(std::floor(screenTwips / std::max(1, m_grid->rowTwips()) * 0.75)));
    m_table->setRows(m_table->minimumRows());

    stackStrips();

    // The settings file is read again; the places this run gave the link table and the
    // record editor are kept, as the file only learns them at the program's exit.
    const IniSettings kept = m_state.ini;
    IniFile::read(m_state.iniPath(), m_state.ini, ty(screen ? screen->geometry().height() : 0),
                  tx(screen ? screen->geometry().width() : 0));
    m_state.ini.tabWinTop = kept.tabWinTop;
    m_state.ini.tabWinLeft = kept.tabWinLeft;
    m_state.ini.tabWinHeight = kept.tabWinHeight;
    m_state.ini.tabWinWidth = kept.tabWinWidth;
    m_state.ini.editWinTop = kept.editWinTop;
    m_state.ini.editWinLeft = kept.editWinLeft;
    m_state.ini.editWinHeight = kept.editWinHeight;
    m_state.ini.editWinWidth = kept.editWinWidth;

    m_heading->setText(lang.entry(33));
    m_grid->setAccessibleName(lang.entry(33));

    for (int s = 1; s < kStrips; ++s)
        m_strips[s]->setSelected(-1);
    m_strips[0]->setSelected(0);
    setTabOrder(m_strips[0]->tabBar(), m_grid);
    m_table->setGroup(0);

    setColumnWidths();
    readTable();
    m_ready = true;
}

void LinkTableWindow::mountBars(CommandCatalogue &catalogue)
{
    if (SecondaryBars::firstLoad(SecondaryBars::Window::LinkTable) || !catalogue.bar(QStringLiteral("TAB0")))
        SecondaryBars::makeTabBars(catalogue);
    const ImageList *images = &ImageList::window(QStringLiteral("linktable"));
    const LangTable &lang = m_state.lang;

    CommandBar *bar1 = m_bars[1];
    bar1->setImageLists(images, images);
    SecondaryBars::mount(bar1, catalogue, QStringLiteral("TAB1"), 1);
    if (CommandButton *b = catalogue.button(QStringLiteral("EXIT6")))
        b->setToolTip(lang.entry(32));

    CommandBar *bar0 = m_bars[0];
    bar0->setImageLists(images, images);
    SecondaryBars::mount(bar0, catalogue, QStringLiteral("TAB0"), 1);
    const struct { const char *key; int entry; } tips[] = {
        {"EXIT5", 32}, {"ADDURL", 75}, {"EDITURL", 76}, {"GOURL", 78}, {"SORT", 81},
        {"SAVE2", 82}, {"HELP2", 83},  {"TITLE", 77},   {"SEARCH", 84},
    };
    for (const auto &t : tips) {
        if (CommandButton *b = catalogue.button(QString::fromLatin1(t.key)))
            b->setToolTip(lang.entry(t.entry));
    }
}

void LinkTableWindow::showGroupTitles()
{
    for (int s = 0; s < kStrips; ++s) {
        for (int t = 0; t < kTabsPerStrip; ++t)
            m_strips[s]->setCaption(t, m_state.groups.entry(s * kTabsPerStrip + t + 1).title);
    }
}

void LinkTableWindow::placeWindow()
{
    IniSettings &ini = m_state.ini;
    if (ini.tabWinTop == 0 && ini.tabWinLeft == 0 && ini.tabWinHeight == 0 && ini.tabWinWidth == 0) {
        const TwipsRect r = WindowGeometry::centred(this, QSize(px(kDesignWidth), py(kDesignHeight)));
        ini.tabWinTop = r.top;
        ini.tabWinLeft = r.left;
        ini.tabWinHeight = r.height;
        ini.tabWinWidth = r.width;
    }
    WindowGeometry::place(this, {ini.tabWinTop, ini.tabWinLeft, ini.tabWinHeight, ini.tabWinWidth});
}

void LinkTableWindow::stackStrips()
{
    m_titleBox->move(m_titleBox->x(), m_barPanel->height() / 2 - m_titleBox->height() / 2 - py(20));
    m_heading->resize(px(kLabelWidth), m_heading->height());
    m_strips[6]->move(px(kStripLeft), m_barPanel->height() + py(50));
    m_strips[6]->setSelected(-1);
    for (int s = 5; s >= 0; --s) {
        m_strips[s]->move(px(kStripLeft), m_strips[s + 1]->y() + py(kStripStep));
        m_strips[s]->setSelected(-1);
    }
    m_strips[0]->setSelected(0);
    m_heading->move(m_heading->x(), m_titleBox->y() + py(40));
    m_grid->move(px(kGridStartLeft), m_grid->y());
}

void LinkTableWindow::setColumnWidths()
{
    for (int c = 0; c < 7; ++c)
        m_grid->setColumnTwips(c, kColumns[c].twips);
}

void LinkTableWindow::setColumnHeaders()
{
    QStringList headers;
    for (const Column &c : kColumns)
        headers.append(c.header > 0 ? m_state.lang.entry(c.header) : QString());
    m_table->setHeaders(headers);
}

void LinkTableWindow::arrange(int w, int h)
{
    m_barPanel->setGeometry(0, 0, w, py(kBarPanelHeight));
    m_bars[1]->setGeometry(w - px(kExitBarWidth), 0, px(kExitBarWidth), m_barPanel->height());
    m_bars[0]->setGeometry(0, 0, w - m_bars[1]->width(), m_barPanel->height());
    // The label, the title box and the drag strip start after the last button, wherever
    // the buttons' pictures and the font take it.
    const int left = std::max(px(kTitleBoxLeft), m_bars[0]->contentWidth() + px(60));
    m_titleBox->move(left, m_titleBox->y());
    m_heading->setGeometry(left, m_heading->y(), px(kLabelWidth), m_titleBox->height());
    m_moveStrip->setGeometry(left, py(kMoveTop), std::max(0, w - left - m_bars[1]->width()),
                           m_barPanel->height() - py(kMoveTop));
    m_moveStrip->raise();
    m_heading->raise();
    m_titleBox->raise();

    const int stripHeight0 = h - py(1900);
    for (int s = 0; s < kStrips; ++s)
        m_strips[s]->resize(w - px(250), s == 0 ? std::max(m_strips[s]->rowHeight(), stripHeight0)
                                              : m_strips[s]->rowHeight());
    m_grid->setGeometry(px(kGridLeft), py(kGridTop), m_strips[0]->width() - px(10),
                        std::max(0, m_strips[0]->height() - py(260)));
    int others = 0;
    for (int c : {0, 1, 2, 3, 4, 6})
        others += m_grid->columnTwips(c);
    const int rest = tx(m_grid->width()) - others - 300;
    if (m_arranged && rest > 0)
        m_grid->setColumnTwips(5, rest);
    m_grid->raise();
    m_arranged = true;
    m_barPanel->update();
}

void LinkTableWindow::followResize()
{
    if (isMinimized() || tx(width()) < kResizeMinimum)
        return;
    arrange(width(), height());
}

void LinkTableWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    followResize();
}

void LinkTableWindow::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        followResize();
}

TabStrip *LinkTableWindow::strip(int s) const
{
    return s >= 0 && s < kStrips ? m_strips[s] : nullptr;
}

CommandBar *LinkTableWindow::commandBar(int index) const
{
    return index >= 0 && index < 2 ? m_bars[index] : nullptr;
}

int LinkTableWindow::group() const
{
    return m_table->group();
}

// ---- the commands --------------------------------------------------------------------

void LinkTableWindow::runCommand(int index, const QString &key)
{
    if (m_exited)
        return;
    if (index == 1) {
        if (key == QLatin1String("EXIT6"))
            closeAskingToSave();
        return;
    }
    if (index != 0)
        return;
    if (key == QLatin1String("EXIT5")) {
        closeAskingToSave();
    } else if (key == QLatin1String("ADDURL")) {
        addPage();
        saveAndReload();
    } else if (key == QLatin1String("EDITURL")) {
        editLink();
    } else if (key == QLatin1String("GOURL")) {
        openLink();
    } else if (key == QLatin1String("SORT")) {
        sort();
    } else if (key == QLatin1String("SAVE2")) {
        saveAndReload();
    } else if (key == QLatin1String("HELP2")) {
        help();
    } else if (key == QLatin1String("TITLE")) {
        toggleTitleBox();
    }
}

void LinkTableWindow::chooseGroup(int s)
{
    if (!m_ready)
        return;
    m_currentStrip = s;
    for (int other = 0; other < kStrips; ++other) {
        if (other != s)
            m_strips[other]->setSelected(-1);
    }
    m_table->setGroup(m_strips[s]->selected() + s * kTabsPerStrip);
    readTable();
}

void LinkTableWindow::addPage()
{
    m_table->addLink(m_host.pageTitle(), m_host.pageAddress(), m_host.addressBoxText(), m_state.todayText);
}

void LinkTableWindow::editLink()
{
    if (m_editor)
        return;
    m_editorRow = std::max(1, m_grid->row());
    m_editor = new LinkEditor(m_state, m_catalogue, *m_table, m_editorRow, this);
    connect(m_editor, &QDialog::finished, this, &LinkTableWindow::editorReturned);
    m_editor->show();
}

void LinkTableWindow::editorReturned()
{
    if (m_editor)
        m_editor->deleteLater();
    m_editor = nullptr;
    if (!m_table->concealed(m_editorRow).isEmpty())
        m_table->setCell(m_editorRow, 4, LinkTable::kMask);
    saveAndReload();
    m_editorRow = 0;
}

void LinkTableWindow::openLink()
{
    m_host.chooseLink(m_table->cell(m_grid->row(), 2));
    leave();
}

void LinkTableWindow::gridDoubleClicked()
{
    if (m_grid->wholeRowSelected())
        editLink();
    else if (m_grid->column() == 1 || m_grid->column() == 5)
        openLink();
}

void LinkTableWindow::gridClicked()
{
    const int row = m_grid->row();
    if (m_grid->column() != 4 || m_table->concealed(row).isEmpty())
        return;
    if (row != m_revealedRow) {
        maskRevealedRow();
        m_revealedRow = row;
        m_revealed = true;
        m_table->setCell(row, 4, m_table->concealed(row));
        return;
    }
    m_revealed = !m_revealed;
    m_table->setCell(row, 4, m_revealed ? m_table->concealed(row) : LinkTable::kMask);
}

void LinkTableWindow::maskRevealedRow()
{
    // Whatever moves or reloads the rows shows the masks again, so the row that was
    // shown is hidden, and the next click on it shows it again.
    if (m_revealedRow > 0 && !m_table->concealed(m_revealedRow).isEmpty())
        m_table->setCell(m_revealedRow, 4, LinkTable::kMask);
    m_revealed = false;
}

void LinkTableWindow::sort()
{
    const int selected = m_grid->column();
    maskRevealedRow();
    m_table->sortOnScreen(selected == 1 || selected == 2 ? selected : 1);
}

void LinkTableWindow::help()
{
    // The language's code names the document; one that could lead out of the folder
    // names none.
    static const QRegularExpression plainCode(QStringLiteral("^[A-Za-z0-9_-]*$"));
    const QString code = m_state.langSettings.langCode;
    if (!plainCode.match(code).hasMatch())
        return;
    const QString path = m_state.paths.file(QStringLiteral("Data/QuorlGOTab") + code + QStringLiteral(".pdf"));
    if (QFileInfo(path).isFile())
        Shell::instance().openUrl(QUrl::fromLocalFile(path));
}

void LinkTableWindow::toggleTitleBox()
{
    if (!m_titleEditing) {
        m_titleEditing = true;
        QPalette typing = m_titleBox->palette();
        typing.setColor(QPalette::Base, QColor(255, 255, 192));
        m_titleBox->setPalette(typing);
        m_titleBox->show();
        m_titleBox->raise();
        m_titleBox->setFocus();
        m_table->setPendingTitle(QString());
        m_titleBox->clear();
    } else {
        m_titleEditing = false;
        m_titleBox->hide();
    }
}

void LinkTableWindow::titleEntered()
{
    if (m_titleBox->text().isEmpty())
        m_state.groups.entry(m_table->group() + 1).title.clear();
    m_table->setPendingTitle(m_titleBox->text());
    TabStrip *current = m_strips[m_currentStrip];
    current->setCaption(current->selected(), m_table->pendingTitle());
    QPalette idle = m_titleBox->palette();
    idle.setColor(QPalette::Base, palette().color(QPalette::Button));
    m_titleBox->setPalette(idle);
    m_titleBox->hide();
    m_titleEditing = false;
    saveTitle();
    m_titleBox->clear();
}

bool LinkTableWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the title box applies the title and goes no further; Escape there drops
    // what was typed, as "TITLE" does, rather than closing the window.
    if (watched == m_titleBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            titleEntered();
            return true;
        }
        if (key == Qt::Key_Escape && m_titleEditing) {
            toggleTitleBox();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- reading and saving --------------------------------------------------------------

void LinkTableWindow::readTable()
{
    setColumnHeaders();
    m_table->readTable();
    maskRevealedRow();
    m_grid->setVisible(m_table->visible());
}

bool LinkTableWindow::saveTable()
{
    QString error;
    if (m_table->saveTable(&error))
        return true;
    m_dialogs.message(this, Dialogs::Icon::Warning, kTitle,
                      m_state.text(291, QStringLiteral("The links of this group could not be saved; they stay in "
                                                       "the window until they can be. File:"))
                          + u'\n' + m_table->fileName() + u'\n' + error);
    return false;
}

void LinkTableWindow::saveAndReload()
{
    if (saveTable()) {
        readTable();
        return;
    }
    m_table->showRows();
    maskRevealedRow();
    m_grid->setVisible(true);
}

void LinkTableWindow::saveTitle()
{
    QString error;
    if (!m_table->saveTitle(&error))
        m_dialogs.message(this, Dialogs::Icon::Warning, kTitle,
                          m_state.text(219, QStringLiteral("This file could not be written:")) + u'\n'
                              + LinkFiles::titlesPath(m_state.linkBase) + u'\n' + error);
}

// ---- closing -------------------------------------------------------------------------

void LinkTableWindow::closeAskingToSave()
{
    if (m_table->modified()) {
        m_table->setModified(false);
        if (m_dialogs.question(this, kTitle, m_state.lang.entry(101)))
            saveTable();
    }
    leave();
}

void LinkTableWindow::leave()
{
    if (m_exited)
        return;
    m_exited = true;
    if (m_editor)
        m_editor->leave();
    if (!isMinimized() && isVisible()) {
        const TwipsRect r = WindowGeometry::frame(this);
        m_state.ini.tabWinTop = r.top;
        m_state.ini.tabWinLeft = r.left;
        m_state.ini.tabWinHeight = r.height;
        m_state.ini.tabWinWidth = r.width;
    }
    saveTitle();
    done(QDialog::Accepted);
}

void LinkTableWindow::closeEvent(QCloseEvent *event)
{
    leave();
    event->accept();
}

void LinkTableWindow::reject()
{
    // Escape is the keyboard's way to the exit button.
    if (!m_exited)
        closeAskingToSave();
}
