#pragma once

#include <QDialog>

struct AppState;
class CommandBar;
class CommandButton;
class CommandCatalogue;
class QLabel;

// The yes/no question the language editor asks before it drops unsaved
// typing. The question sits inside the bar, between "OKYES" and "OKNO"; the answer
// goes to the shared state, where it outlives the dialog.
class InputDialog : public QDialog
{
    Q_OBJECT
public:
    InputDialog(AppState &state, CommandCatalogue &catalogue, QWidget *parent);

    // The buttons "OKYES", "OKNO", the panel "NIL6" and the bar "STANDARD6", made the
    // first time in the run only.
    static void makeBars(CommandCatalogue &catalogue);

    // Shows the dialog modally. True when one of its two buttons answered; the answer
    // itself is AppState::inputAnswer, which a close without a button leaves alone.
    bool ask();

    CommandBar *commandBar() const { return m_bar; }
    QLabel *label() const { return m_question; }

private:
    void barClick(int index, CommandButton *button);

    AppState &m_state;
    QLabel *m_question = nullptr;
    CommandBar *m_bar = nullptr;
    bool m_answered = false;
};
