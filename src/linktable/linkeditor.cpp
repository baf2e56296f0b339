#include "linkeditor.h"

#include "settings/appstate.h"
#include "commands/secondarybars.h"
#include "linktable/linktable.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "platform/twips.h"
#include "platform/windowgeometry.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QWindow>

namespace {

// Design sizes in twips.
constexpr int kDesignWidth = 6345;
constexpr int kDesignHeight = 3180;
constexpr int kBoxLeft = 1680;
constexpr int kBoxWidth = 4455;
constexpr int kBoxHeight = 285;
constexpr int kBoxTops[] = {840, 1200, 1560, 1920, 2280, 2655};
constexpr int kLabelLeft = 120;
constexpr int kLabelWidth = 1455;
constexpr int kLabelHeight = 255;
constexpr int kBarHeight = 385;

int px(double twips) { return Twips::toPixelsX(twips); }
int py(double twips) { return Twips::toPixelsY(twips); }

const char *kTitleStripStyle =
    "background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #e3efff, stop:1 #afd2ff);"
    "border-bottom: 1px solid #6591cd;";
const char *kBackgroundStyle =
    "background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 rgb(232, 241, 254), stop:1 rgb(197, 224, 254));";

} // namespace

LinkEditor::LinkEditor(AppState &state, CommandCatalogue &catalogue, LinkTable &table, int row, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_state(state)
    , m_table(table)
    , m_row(row)
{
    setObjectName(QStringLiteral("frmEDit"));
    setWindowModality(Qt::ApplicationModal);
    setSizeGripEnabled(false);

    if (SecondaryBars::firstLoad(SecondaryBars::Window::LinkEditor) || !catalogue.bar(QStringLiteral("EDIT9")))
        SecondaryBars::makeEditBars(catalogue);

    setWindowTitle(state.lang.entry(76));

    const QSize inner(px(kDesignWidth), py(kDesignHeight));
    m_titleStrip = new QWidget(this);
    m_titleStrip->setObjectName(QStringLiteral("imgTitle"));
    m_titleStrip->setAttribute(Qt::WA_StyledBackground, true);
    m_titleStrip->setStyleSheet(QString::fromLatin1(kTitleStripStyle));
    m_background = new QWidget(this);
    m_background->setObjectName(QStringLiteral("imgBkg"));
    m_background->setAttribute(Qt::WA_StyledBackground, true);
    m_background->setStyleSheet(QString::fromLatin1(kBackgroundStyle));

    m_bar = new CommandBar(9, this);
    const ImageList *images = &ImageList::window(QStringLiteral("linkeditor"));
    m_bar->setImageLists(images, images);
    SecondaryBars::mount(m_bar, catalogue, QStringLiteral("EDIT9"), 1);
    m_bar->setGeometry(px(10), py(20), inner.width() - px(40), py(kBarHeight));
    // Deleting a link is shown in words beside its picture: a bare picture of it is too
    // easily taken for the window's own close button.
    for (const auto &[key, entry] : {std::pair{"CANCEL", 94}, std::pair{"SAVE3", 95}}) {
        if (CommandButton *b = catalogue.button(QString::fromLatin1(key))) {
            b->setToolTip(state.lang.entry(entry));
            b->setCaption(state.lang.entry(entry));
            b->setCaptionShown(true);
        }
    }
    connect(m_bar, &CommandBar::buttonClick, this, &LinkEditor::buttonClicked);

    const int titleHeight = m_bar->y() + m_bar->height() + py(30);
    m_titleStrip->setGeometry(0, 0, inner.width(), titleHeight);
    m_background->setGeometry(0, titleHeight, inner.width(), inner.height() - titleHeight);
    m_titleStrip->lower();
    m_background->lower();

    for (int i = 1; i <= 6; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("Lab%1").arg(i));
        label->setTextFormat(Qt::PlainText);
        label->setText(state.lang.entry(i <= 5 ? 64 + i : 73));
        label->setStyleSheet(QStringLiteral("color: #0b2d5b;"));
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Txt%1").arg(i));
        label->setBuddy(box);
        box->setAccessibleName(label->text());
        const int boxHeight = std::max(py(kBoxHeight), box->sizeHint().height() - 2);
        const int top = py(kBoxTops[i - 1]) - (boxHeight - py(kBoxHeight)) / 2;
        box->setGeometry(px(kBoxLeft), top, px(kBoxWidth), boxHeight);
        label->setGeometry(px(kLabelLeft), top, px(kLabelWidth), boxHeight);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_labels[i] = label;
        m_boxes[i] = box;
    }

    // Opening (the load event): the fields of the row, the real concealed value in box 4.
    m_table.setModified(false);
    for (int i = 1; i <= 6; ++i)
        m_boxes[i]->setText(m_table.cell(m_row, i));
    if (!m_table.concealed(m_row).isEmpty())
        m_boxes[4]->setText(m_table.concealed(m_row));

    // The editor keeps its design size; its position is where it was last closed.
    IniSettings &ini = state.ini;
    if (ini.editWinHeight == 0 && ini.editWinLeft == 0 && ini.editWinWidth == 0) {
        const TwipsRect r = WindowGeometry::centred(this, inner);
        ini.editWinTop = r.top;
        ini.editWinLeft = r.left;
        ini.editWinHeight = r.height;
        ini.editWinWidth = r.width;
    }
    const QSize extra = WindowGeometry::frameExtra(this);
    setFixedSize(std::max(inner.width(), px(ini.editWinWidth) - extra.width()),
                 std::max(inner.height(), py(ini.editWinHeight) - extra.height()));
    move(px(ini.editWinLeft), py(ini.editWinTop));
    m_background->resize(width(), height() - m_background->y());
    m_titleStrip->resize(width(), m_titleStrip->height());
    m_boxes[1]->setFocus();
}

QLineEdit *LinkEditor::box(int i) const
{
    return i >= 1 && i <= 6 ? m_boxes[i] : nullptr;
}

QLabel *LinkEditor::label(int i) const
{
    return i >= 1 && i <= 6 ? m_labels[i] : nullptr;
}

void LinkEditor::buttonClicked(int index, CommandButton *button)
{
    if (index != 9 || !button)
        return;
    if (button->key() == QLatin1String("SAVE3"))
        store();
    else if (button->key() == QLatin1String("CANCEL"))
        remove();
    leave();
}

void LinkEditor::store()
{
    for (int i = 1; i <= 6; ++i)
        m_table.setCell(m_row, i, m_boxes[i]->text());
    m_table.setConcealed(m_row, m_boxes[4]->text());
    m_table.setModified(true);
    // A failed write keeps the modified flag; the link table window saves again at once
    // and tells the user.
    m_table.saveTable();
}

void LinkEditor::remove()
{
    for (int c = 0; c < 7; ++c)
        m_table.setCell(m_row, c, QString());
}

void LinkEditor::leave()
{
    if (m_exited)
        return;
    m_exited = true;
    if (!isMinimized()) {
        const TwipsRect r = WindowGeometry::frame(this);
        m_state.ini.editWinTop = r.top;
        m_state.ini.editWinLeft = r.left;
    }
    done(QDialog::Accepted);
}

void LinkEditor::closeEvent(QCloseEvent *event)
{
    leave();
    event->accept();
}

void LinkEditor::reject()
{
    leave();
}
