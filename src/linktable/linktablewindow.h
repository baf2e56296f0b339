#pragma once

#include "linktable/linkeditor.h"

#include <QDialog>
#include <QPointer>

#include <array>

struct AppState;
class CommandBar;
class CommandButton;
class CommandCatalogue;
class Dialogs;
class DragButton;

class LinkGrid;
class LinkTable;
class LinkTableHost;
class QLabel;
class QLineEdit;
class TabStrip;

// The link table window: the groups of favourite links on seven stacked strips
// of fifteen tabs, the links of the chosen group in the grid, and the commands to add
// the page shown in the main window, edit, open, sort and save links, name the group
// and read the help. Shown modally; every opening starts afresh at group 0.
class LinkTableWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kStrips = 7;
    static constexpr int kTabsPerStrip = 15;

    LinkTableWindow(AppState &state, CommandCatalogue &catalogue, Dialogs &dialogs, LinkTableHost &host,
                    QWidget *parent = nullptr);
    ~LinkTableWindow() override;

    LinkTable *table() const { return m_table; }
    LinkGrid *grid() const { return m_grid; }
    TabStrip *strip(int s) const;
    CommandBar *commandBar(int index) const;
    QLineEdit *titleBox() const { return m_titleBox; }
    QLabel *label() const { return m_heading; }
    DragButton *moveStrip() const { return m_moveStrip; }
    QWidget *picLab() const { return m_barPanel; }
    // The record editor while it is open.
    LinkEditor *editor() const { return m_editor; }

    int currentStrip() const { return m_currentStrip; }
    int group() const;
    bool ready() const { return m_ready; }
    bool titleEditing() const { return m_titleEditing; }
    int revealedRow() const { return m_revealedRow; }
    bool revealed() const { return m_revealed; }

    // The commands, as a click on their buttons runs them (instance 0 or 1).
    void runCommand(int index, const QString &key);

    // The record editor on the current row.
    void editLink();
    // A link for the page shown in the main window, into the current group.
    void addPage();
    // The groups' titles on the tabs.
    void showGroupTitles();
    // Keeps the window's place and a title being typed, and closes.
    void leave();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void load();
    void mountBars(CommandCatalogue &catalogue);
    void placeWindow();
    // The title box and heading in the bar, and the seven strips stacked upwards from
    // the grid, group 0 chosen.
    void stackStrips();
    void setColumnWidths();
    void setColumnHeaders();
    // The layout for the window's new size, unless it is minimised or too narrow.
    void followResize();
    void arrange(int width, int height);

    void chooseGroup(int strip);
    void gridClicked();
    void gridDoubleClicked();
    void openLink();
    void sort();
    void help();
    // "TITLE": shows the title box for a new group title, or hides it again.
    void toggleTitleBox();
    void titleEntered();
    // The exit buttons and Escape: asks whether to save a changed group first.
    void closeAskingToSave();
    void editorReturned();

    void readTable();
    // Saves the group and, when it was written, reads it back; a failed write is told
    // and the rows stay on screen.
    void saveAndReload();
    bool saveTable();
    void saveTitle();
    // The concealed value shown in the grid is masked again.
    void maskRevealedRow();

    AppState &m_state;
    Dialogs &m_dialogs;
    LinkTableHost &m_host;
    CommandCatalogue &m_catalogue;

    QWidget *m_barPanel = nullptr;
    std::array<CommandBar *, 2> m_bars{};
    QLabel *m_heading = nullptr;
    QLineEdit *m_titleBox = nullptr;
    DragButton *m_moveStrip = nullptr;
    std::array<TabStrip *, kStrips> m_strips{};
    LinkTable *m_table = nullptr;
    LinkGrid *m_grid = nullptr;
    QPointer<LinkEditor> m_editor;

    int m_currentStrip = 0;
    int m_editorRow = 0;
    int m_revealedRow = 0;
    bool m_revealed = false;
    bool m_titleEditing = false;
    bool m_ready = false;
    bool m_exited = false;
    bool m_arranged = false;
};
