#include "aboutwindow.h"

#include "settings/appstate.h"
#include "commands/secondarybars.h"
#include "platform/commandbar.h"
#include "platform/imagelist.h"
#include "platform/shell.h"
#include "platform/twips.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

#include <functional>

namespace {

constexpr int kInstance = 7;

// The design size and the places of the labels, in twips.
constexpr int kWidth = 6600;
constexpr int kHeight = 3300;
constexpr int kMargin = 120;
constexpr int kBarHeight = 420;

const QString kTitle = QStringLiteral("QuorlOffice");
const QString kFirstSite = QStringLiteral("www.quorloffice.org");
const QString kSecondSite = QStringLiteral("share.quorloffice.org");
const QString kMail = QStringLiteral("team@quorloffice.org");

// Addresses open in the desktop's own programs, never through a command line.
void openAddress(const QUrl &url)
{
    Shell::instance().openUrl(url);
}

int px(int twips) { return Twips::toPixelsX(twips); }
int py(int twips) { return Twips::toPixelsY(twips); }

const ImageList &images()
{
    static const ImageList list({QIcon(QStringLiteral(":/icons/yes.svg")), ImageList::main().icon(77)},
                                {QStringLiteral("#ok"), QStringLiteral("#help")});
    return list;
}

// A label that does something when clicked: the two sites and the credit line.
class ClickLabel : public QLabel
{
public:
    ClickLabel(QWidget *parent, std::function<void()> action)
        : QLabel(parent)
        , m_action(std::move(action))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            m_action();
    }

private:
    std::function<void()> m_action;
};

} // namespace

void AboutWindow::makeBars(CommandCatalogue &catalogue)
{
    if (!SecondaryBars::firstLoad(SecondaryBars::Window::About))
        return;
    SecondaryBars::addButtons(catalogue, {{"ABOUTOK", 0}, {"ABOUTHELP", 1}});
    SecondaryBars::build(catalogue, QStringLiteral("STANDARD7"),
                         {QStringLiteral("ABOUTOK"), QStringLiteral("SEP13"), QStringLiteral("ABOUTHELP"),
                          QStringLiteral("SEP2")});
}

QString AboutWindow::versionLine(const LangTable &lang)
{
    return lang.entry(198) + u' ' + QString::number(QUORL_VERSION_MAJOR) + u'.'
           + QString::number(QUORL_VERSION_MINOR) + u'.' + QString::number(QUORL_VERSION_PATCH);
}

QUrl AboutWindow::firstSite()
{
    return QUrl(QStringLiteral("https://") + kFirstSite + u'/');
}

QUrl AboutWindow::secondSite()
{
    return QUrl(QStringLiteral("https://") + kSecondSite + u'/');
}

QUrl AboutWindow::mailAddress()
{
    return QUrl(QStringLiteral("mailto:") + kMail);
}

QLabel *AboutWindow::label(const char *name, const QString &text)
{
    auto *l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    return l;
}

AboutWindow::AboutWindow(AppState &state, CommandCatalogue &catalogue, AboutHost &host, QWidget *parent)
    : QDialog(parent)
    , m_host(host)
{
    const LangTable &lang = state.lang;
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(lang.entry(196).isEmpty() ? kTitle : lang.entry(196));
    makeBars(catalogue);

    m_bar = new CommandBar(kInstance, this);
    m_bar->setImageLists(&images(), &images());
    SecondaryBars::mount(m_bar, catalogue, QStringLiteral("STANDARD7"), state.options.barStyle);
    if (CommandButton *ok = catalogue.button(QStringLiteral("ABOUTOK")))
        ok->setCaption(lang.entry(204));
    if (CommandButton *help = catalogue.button(QStringLiteral("ABOUTHELP")))
        help->setCaption(lang.entry(205));
    connect(m_bar, &CommandBar::buttonClick, this, &AboutWindow::barClick);

    const int width = px(kWidth);
    const int height = py(kHeight);
    setFixedSize(width, height);
    if (const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + s.width() / 2 - width / 2, s.y() + s.height() / 2 - height / 2);
    }
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(132, 171, 227));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    setAutoFillBackground(true);

    auto *picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setPixmap(QIcon(QStringLiteral(":/icons/quorloffice.svg")).pixmap(48, 48));
    picIcon->setGeometry(px(240), py(200), 48, 48);

    QLabel *lblTitle = label("lblTitle", kTitle);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblTitle->move(px(1050), py(120));
    label("lblVersion", versionLine(lang))->move(px(1050), py(480));

    auto link = [](ClickLabel *l, const char *name, const QString &text) {
        l->setObjectName(QString::fromLatin1(name));
        l->setTextFormat(Qt::PlainText);
        l->setText(text);
        QFont f = l->font();
        f.setUnderline(true);
        l->setFont(f);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(0x0b, 0x2d, 0x5b));
        l->setPalette(p);
        l->adjustSize();
        return l;
    };
    auto *label1 = link(new ClickLabel(this, [] { openAddress(mailAddress()); }), "Label1",
                        QStringLiteral("Made by the QuorlOffice team, ") + kMail);
    label1->move(px(1050), py(750));

    auto *rule0 = new QFrame(this);
    rule0->setFrameShape(QFrame::HLine);
    rule0->setFrameShadow(QFrame::Sunken);
    rule0->setObjectName(QStringLiteral("Line1_0"));
    rule0->setGeometry(px(kMargin), py(1080), width - 2 * px(kMargin), 2);

    // "Visit" before each site; the first one opens the first site too.
    auto *lblDescription = new ClickLabel(this, [] { openAddress(firstSite()); });
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setTextFormat(Qt::PlainText);
    lblDescription->setText(lang.entry(197));
    lblDescription->adjustSize();
    lblDescription->move(px(460), py(1140));
    auto *lbSite = link(new ClickLabel(this, [] { openAddress(firstSite()); }), "lbSite", kFirstSite);
    lbSite->move(lblDescription->geometry().right() + 5, py(1140));
    label("lbDescr", lang.entry(199))->move(px(710), py(1350));

    QLabel *lbVisit2 = label("lbVisit2", lang.entry(197));
    lbVisit2->adjustSize();
    lbVisit2->move(px(460), py(1620));
    auto *label3 = link(new ClickLabel(this, [] { openAddress(secondSite()); }), "Label3", kSecondSite);
    label3->move(lbVisit2->geometry().right() + 5, py(1620));
    label("lbDescr2", lang.entry(200))->move(px(710), py(1830));

    auto *rule1 = new QFrame(this);
    rule1->setFrameShape(QFrame::HLine);
    rule1->setFrameShadow(QFrame::Sunken);
    rule1->setObjectName(QStringLiteral("Line1_1"));
    rule1->setGeometry(px(kMargin), py(2160), width - 2 * px(kMargin), 2);

    QLabel *lblDisclaimer = label("lblDisclaimer", lang.entry(202));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setGeometry(px(460), py(2250), width - px(460) - px(kMargin) * 2, py(kHeight - kBarHeight - 2250));
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    m_bar->setGeometry(0, height - py(kBarHeight), width, py(kBarHeight));
}

void AboutWindow::barClick(int index, CommandButton *button)
{
    // Whatever was clicked, the window closes; the help page opens first.
    if (index == kInstance && button->key() == QLatin1String("ABOUTHELP"))
        m_host.showHelp();
    accept();
}
