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

// frmTab, the link table window: the groups of favourite links on seven stacked strips
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
    QLineEdit *titleBox() const { return m_text1; }
    QLabel *label() const { return m_label1; }
    DragButton *moveStrip() const { return m_lblMove; }
    QWidget *picLab() const { return m_picLab; }
    // The record editor while it is open.
    LinkEditor *editor() const { return m_editor; }

    int currentStrip() const { return m_currentStrip; }
    int group() const;
    bool ready() const { return m_ready; }
    bool titleEditing() const { return m_titleEditing; }
    int revealedRow() const { return m_revealedRow; }
    bool revealed() const { return m_revealFlag; }

    // The commands, as a click on their buttons runs them (instance 0 or 1).
    void runCommand(int index, const QString &key);

    // Edit_URL, ADD_Tab, Load_Group, GO_Exit.
    void editUrl();
    void addTab();
    void loadGroup();
    void goExit();

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
    void goSetImg();
    void goGrid();
    void columnTitles();
    void formResize();
    void arrange(int width, int height);

    void chooseGroup(int strip);
    void gridClicked();
    void gridDoubleClicked();
    void openLink();
    void sort();
    void help();
    void title();
    void titleEntered();
    void close5();
    void editorReturned();

    void readTable();
    // Save_Table and, when it was written, Read_Table; a failed write is told and the
    // rows stay on screen.
    void saveAndReload();
    bool saveTable();
    void saveTitle();
    void remask();

    AppState &m_state;
    Dialogs &m_dialogs;
    LinkTableHost &m_host;
    CommandCatalogue &m_catalogue;

    QWidget *m_picLab = nullptr;
    std::array<CommandBar *, 2> m_cmdBar{};
    QLabel *m_label1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    DragButton *m_lblMove = nullptr;
    std::array<TabStrip *, kStrips> m_tabF{};
    LinkTable *m_table = nullptr;
    LinkGrid *m_grid = nullptr;
    QPointer<LinkEditor> m_editor;

    int m_currentStrip = 0;
    int m_editorRow = 0;
    int m_revealedRow = 0;
    bool m_revealFlag = false;
    bool m_titleEditing = false;
    bool m_ready = false;
    bool m_exited = false;
    bool m_arranged = false;
};
