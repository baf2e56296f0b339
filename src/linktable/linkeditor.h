#pragma once

#include <QDialog>

#include <array>

struct AppState;
class CommandBar;
class CommandButton;
class CommandCatalogue;
class LinkTable;
class QLabel;
class QLineEdit;

// The link record editor: the six fields of one row of the link table in six
// labelled boxes. "SAVE3" stores the boxes into the row and saves the group, "CANCEL"
// empties the row (the save that follows drops it), any other way out changes nothing.
// It works on the link table window's rows directly and keeps no copy of its own.
class LinkEditor : public QDialog
{
    Q_OBJECT
public:
    LinkEditor(AppState &state, CommandCatalogue &catalogue, LinkTable &table, int row, QWidget *parent);

    int row() const { return m_row; }
    // The box of field i (1 to 6, the grid's columns) and its label.
    QLineEdit *box(int i) const;
    QLabel *label(int i) const;
    CommandBar *commandBar() const { return m_bar; }

    // Keeps the position for the next opening and closes.
    void leave();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void buttonClicked(int index, CommandButton *button);
    void store();
    void remove();

    AppState &m_state;
    LinkTable &m_table;
    const int m_row;
    CommandBar *m_bar = nullptr;
    QWidget *m_titleStrip = nullptr;
    QWidget *m_background = nullptr;
    std::array<QLineEdit *, 7> m_boxes{};
    std::array<QLabel *, 7> m_labels{};
    bool m_exited = false;
};
