#include "inputdialog.h"

#include "settings/appstate.h"
#include "commands/secondarybars.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "platform/twips.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kInstance = 6;
constexpr int kWidthTwips = 4100;
constexpr int kPanelWidth = 150;
// Room for the question on two lines, for languages that need more than 150 pixels.
constexpr int kHeight = 46;

const ImageList &images()
{
    static const ImageList list({QIcon(QStringLiteral(":/icons/yes.svg")), ImageList::main().icon(3)},
                                {QStringLiteral("#yes"), QStringLiteral("#no")});
    return list;
}

} // namespace

void InputDialog::makeBars(CommandCatalogue &catalogue)
{
    if (!SecondaryBars::firstLoad(SecondaryBars::Window::Input))
        return;
    SecondaryBars::addButtons(catalogue, {{"OKYES", 0}, {"OKNO", 1}});
    if (CommandButton *panel = catalogue.addButton(QStringLiteral("NIL6"), -1, QString(), CommandButton::Panel,
                                                   QString()))
        panel->setPanelWidth(kPanelWidth);
    SecondaryBars::build(catalogue, QStringLiteral("STANDARD6"),
                         {QStringLiteral("OKYES"), QStringLiteral("SEP13"), QStringLiteral("NIL6"),
                          QStringLiteral("SEP2"), QStringLiteral("OKNO")});
}

InputDialog::InputDialog(AppState &state, CommandCatalogue &catalogue, QWidget *parent)
    : QDialog(parent)
    , m_state(state)
{
    setObjectName(QStringLiteral("frmInput"));
    setWindowTitle(QStringLiteral("QuorlOffice"));
    makeBars(catalogue);

    m_question = new QLabel(this);
    m_question->setObjectName(QStringLiteral("labTitle"));
    m_question->setTextFormat(Qt::PlainText);
    m_question->setAlignment(Qt::AlignCenter);
    m_question->setWordWrap(true);
    m_question->setText(state.lang.entry(213));

    m_bar = new CommandBar(kInstance, this);
    // The panel places its control at the bar's height, so the height comes first.
    m_bar->setFixedHeight(kHeight);
    if (CommandButton *panel = catalogue.button(QStringLiteral("NIL6")))
        panel->setPanelControl(m_question);
    m_bar->setImageLists(&images(), &images());
    SecondaryBars::mount(m_bar, catalogue, QStringLiteral("STANDARD6"), state.options.barStyle);
    connect(m_bar, &CommandBar::buttonClick, this, &InputDialog::barClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_bar);
    setFixedSize(Twips::toPixelsX(kWidthTwips), kHeight);
}

bool InputDialog::ask()
{
    m_answered = false;
    exec();
    return m_answered;
}

void InputDialog::barClick(int index, CommandButton *button)
{
    if (index == kInstance && button->key() == QLatin1String("OKYES")) {
        m_state.inputAnswer = 1;
        m_answered = true;
    } else if (index == kInstance && button->key() == QLatin1String("OKNO")) {
        m_state.inputAnswer = 0;
        m_answered = true;
    }
    done(m_answered ? Accepted : Rejected);
}
