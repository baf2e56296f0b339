#include "commandbar.h"

#include "platform/imagelist.h"

#include <QFrame>
#include <QCursor>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

// ---- CommandButton -------------------------------------------------------------------

CommandButton::CommandButton(const QString &key, int image, const QString &caption, int style,
                             const QString &toolTip, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_image(style == Separator || style == Panel ? -1 : image)
    , m_caption(style == Separator ? QString() : caption)
    , m_style(style)
    , m_toolTip(style == Separator ? QString() : toolTip)
{
}

void CommandButton::setCaption(const QString &caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    emit changed();
}

void CommandButton::setToolTip(const QString &toolTip)
{
    if (m_toolTip == toolTip)
        return;
    m_toolTip = toolTip;
    emit changed();
}

void CommandButton::setChecked(bool checked)
{
    if (m_checked == checked)
        return;
    m_checked = checked;
    emit changed();
}

void CommandButton::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit changed();
}

void CommandButton::setBar(CommandBarBar *bar)
{
    m_bar = bar;
    emit changed();
}

void CommandButton::setPanelWidth(int pixels)
{
    m_panelWidth = pixels;
    emit changed();
}

void CommandButton::setPanelControl(QWidget *control)
{
    m_panelControl = control;
    emit changed();
}

void CommandButton::setDropDownArrow(bool on)
{
    m_dropDownArrow = on;
    emit changed();
}

void CommandButton::setCaptionShown(bool on)
{
    m_captionShown = on;
    emit changed();
}

// ---- CommandBarBar -------------------------------------------------------------------

CommandBarBar::CommandBarBar(const QString &key, const QString &title, QObject *parent)
    : QObject(parent)
    , m_key(key)
    , m_title(title)
{
}

void CommandBarBar::addButton(CommandButton *button)
{
    if (!button)
        return;
    m_buttons.append(button);
    emit changed();
}

void CommandBarBar::insertButton(qsizetype position, CommandButton *button)
{
    if (!button)
        return;
    m_buttons.insert(std::clamp<qsizetype>(position, 0, m_buttons.size()), button);
    emit changed();
}

// ---- CommandCatalogue ----------------------------------------------------------------

CommandCatalogue &CommandCatalogue::instance()
{
    static CommandCatalogue catalogue;
    return catalogue;
}

CommandButton *CommandCatalogue::addButton(const QString &key, int image, const QString &caption, int style,
                                           const QString &toolTip, int, int)
{
    if (m_buttons.contains(key))
        return nullptr;
    auto *button = new CommandButton(key, image, caption, style, toolTip, this);
    m_buttons.insert(key, button);
    m_order.append(key);
    return button;
}

CommandButton *CommandCatalogue::button(const QString &key) const
{
    return m_buttons.value(key);
}

CommandBarBar *CommandCatalogue::addBar(const QString &key, const QString &title)
{
    if (m_bars.contains(key))
        return nullptr;
    auto *bar = new CommandBarBar(key, title, this);
    m_bars.insert(key, bar);
    return bar;
}

CommandBarBar *CommandCatalogue::bar(const QString &key) const
{
    return m_bars.value(key);
}

void CommandCatalogue::clear()
{
    qDeleteAll(m_buttons);
    qDeleteAll(m_bars);
    m_buttons.clear();
    m_bars.clear();
    m_order.clear();
}

// ---- CommandBar ----------------------------------------------------------------------

namespace {

const char *kButtonProperty = "quorlButton";

// A toolbar button that draws its own drop-down arrow beside the picture, so the
// arrow looks the same in every bar style.
class BarToolButton : public QToolButton
{
public:
    using QToolButton::QToolButton;

    void setArrow(bool on)
    {
        if (m_arrow == on)
            return;
        m_arrow = on;
        updateGeometry();
        update();
    }

    QSize sizeHint() const override
    {
        QSize size = QToolButton::sizeHint();
        if (m_arrow)
            size.rwidth() += kArrowWidth;
        return size;
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QToolButton::paintEvent(event);
        if (!m_arrow)
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(isEnabled() ? QPalette::ButtonText : QPalette::Mid));
        const qreal x = width() - kArrowWidth + 1.5;
        const qreal y = height() / 2.0 - 1.5;
        const QPointF triangle[] = {{x, y}, {x + 5, y}, {x + 2.5, y + 3}};
        painter.drawPolygon(triangle, 3);
    }

private:
    static constexpr int kArrowWidth = 8;
    bool m_arrow = false;
};

CommandButton *buttonOf(const QObject *object)
{
    return static_cast<CommandButton *>(object->property(kButtonProperty).value<QObject *>());
}

} // namespace

CommandBar::CommandBar(int index, QWidget *parent)
    : QWidget(parent)
    , m_index(index)
{
    setObjectName(QStringLiteral("cmdBar%1").arg(index));
    setAttribute(Qt::WA_StyledBackground, true);
    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(2, 1, 2, 1);
    m_layout->setSpacing(1);
    m_layout->addStretch(1);
    setBarStyle(0);
}

void CommandBar::setImageLists(const ImageList *toolbarImages, const ImageList *dropDownImages)
{
    m_images = toolbarImages;
    m_dropImages = dropDownImages;
    refresh();
}

void CommandBar::setToolbar(CommandBarBar *bar)
{
    if (m_toolbar)
        disconnect(m_toolbar, nullptr, this, nullptr);
    m_toolbar = bar;
    if (bar)
        connect(bar, &CommandBarBar::changed, this, &CommandBar::rebuild);
    rebuild();
}

QString CommandBar::styleSheet(int style)
{
    // Four distinct looks: the platform's own, an office suite's pale blue, a dark
    // green and gold, and a silver one with blue highlights.
    static const char *const sheets[] = {
        "CommandBar { background: palette(window); border-bottom: 1px solid palette(mid); }"
        "QMenu::item { padding: 3px 24px 3px 26px; }"
        "QMenu::item:selected { background: palette(highlight); color: palette(highlighted-text); }"
        "QMenu::item:disabled { color: palette(mid); }"
        "QMenu::separator { height: 1px; background: palette(mid); margin: 2px 4px; }"
        "QMenu { padding: 2px; }"
        "QMenu::icon:checked { background: rgba(48, 140, 198, 0.25); border: 1px solid palette(highlight); }",

        "CommandBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #e3efff, stop:1 #afd2ff);"
        "  border-bottom: 1px solid #6591cd; }"
        "CommandBar QToolButton { border: 1px solid transparent; border-radius: 2px; padding: 1px; color: #0b2d5b; }"
        "CommandBar QLabel { color: #0b2d5b; }"
        "CommandBar QToolButton:hover { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fff4cc, stop:1 #ffd38a);"
        "  border: 1px solid #000080; }"
        "CommandBar QToolButton:pressed, CommandBar QToolButton:checked { background: #fe9e4e; border: 1px solid #000080; }"
        "CommandBar QFrame[separator=\"true\"] { color: #6a8ccb; }"
        "QMenu { background: #fcfcf9; border: 1px solid #002d96; padding: 2px; }"
        "QMenu::item { padding: 3px 24px 3px 26px; color: black; }"
        "QMenu::item:selected { background: #ffeec2; border: 1px solid #000080; }"
        "QMenu::item:disabled { color: #8d8d8d; }"
        "QMenu::separator { height: 1px; background: #6a8ccb; margin: 2px 4px 2px 28px; }"
        "QMenu::icon:checked { background: #ffd38a; border: 1px solid #000080; }",

        "CommandBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #3c7a5f, stop:1 #1d4634);"
        "  border-bottom: 1px solid #0f2a1e; }"
        "CommandBar QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 1px; color: #f5f0d8; }"
        "CommandBar QLabel { color: #f5f0d8; }"
        "CommandBar QToolButton:hover { background: #c9a640; border: 1px solid #f3dc8a; color: black; }"
        "CommandBar QToolButton:pressed, CommandBar QToolButton:checked { background: #8d7220; border: 1px solid #f3dc8a; }"
        "CommandBar QFrame[separator=\"true\"] { color: #a9c9b5; }"
        "QMenu { background: #f4f1e4; border: 1px solid #1d4634; padding: 2px; }"
        "QMenu::item { padding: 3px 24px 3px 26px; color: #1d2b23; }"
        "QMenu::item:selected { background: #c9a640; color: black; }"
        "QMenu::item:disabled { color: #9a9a8a; }"
        "QMenu::separator { height: 1px; background: #3c7a5f; margin: 2px 4px; }"
        "QMenu::icon:checked { background: #f3dc8a; border: 1px solid #1d4634; }",

        "CommandBar { background: qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #fdfdfb, stop:0.6 #ebeae3, stop:1 #cfcdc0);"
        "  border-bottom: 1px solid #a7a592; }"
        "CommandBar QToolButton { border: 1px solid transparent; border-radius: 3px; padding: 1px; color: black; }"
        "CommandBar QToolButton:hover { background: #c1d2ee; border: 1px solid #316ac5; }"
        "CommandBar QToolButton:pressed, CommandBar QToolButton:checked { background: #98b5e2; border: 1px solid #316ac5; }"
        "CommandBar QFrame[separator=\"true\"] { color: #a7a592; }"
        "QMenu { background: white; border: 1px solid #8a867a; padding: 2px; }"
        "QMenu::item { padding: 3px 24px 3px 26px; color: black; }"
        "QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5; }"
        "QMenu::item:disabled { color: #aca899; }"
        "QMenu::separator { height: 1px; background: #c5c2b2; margin: 2px 4px 2px 28px; }"
        "QMenu::icon:checked { background: #c1d2ee; border: 1px solid #316ac5; }",
    };
    if (style < 0 || style > 3)
        style = 0;
    // A styled menu draws no check mark of its own: a checked item's picture is framed,
    // as office menus show it, and an item without a picture gets a mark.
    return QString::fromLatin1(sheets[style])
        + QStringLiteral("CommandBar QToolButton::menu-indicator { image: none; width: 0px; }"
                         "QMenu::indicator { width: 14px; height: 14px; left: 4px; }"
                         "QMenu::indicator:non-exclusive:checked { image: url(:/icons/check.png); }"
                         "QMenu::indicator:exclusive:checked { image: url(:/icons/dot.png); }");
}

void CommandBar::setBarStyle(int style)
{
    m_style = style;
    setStyleSheet(styleSheet(style));
    update();
}

void CommandBar::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A look set before the bar was first shown is not taken up by its buttons (they
    // were laid out in the plain look): the saved style is put on again once the bar is
    // on screen, so it shows from the first paint rather than after the user chose it.
    if (!m_shownOnce) {
        m_shownOnce = true;
        setStyleSheet(QString());
        setStyleSheet(styleSheet(m_style));
    }
}

int CommandBar::contentWidth() const
{
    return m_layout->sizeHint().width();
}

void CommandBar::rebuild()
{
    for (QWidget *w : std::as_const(m_items)) {
        if (CommandButton *b = buttonOf(w); b && b->panelControl() && b->panelControl()->parent() == w)
            b->panelControl()->setParent(nullptr);
        delete w;
    }
    m_items.clear();
    if (!m_toolbar)
        return;
    const auto &buttons = m_toolbar->buttons();
    for (int i = 0; i < buttons.size(); ++i) {
        CommandButton *button = buttons.at(i);
        QWidget *item = nullptr;
        if (button->style() == CommandButton::Separator) {
            auto *line = new QFrame(this);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setProperty("separator", true);
            line->setFixedWidth(6);
            item = line;
        } else if (button->style() == CommandButton::Panel) {
            item = new QWidget(this);
            item->setObjectName(QStringLiteral("panel_") + button->key());
        } else {
            auto *tool = new BarToolButton(this);
            tool->setAutoRaise(true);
            tool->setFocusPolicy(Qt::NoFocus);
            tool->setObjectName(button->key());
            connect(tool, &QToolButton::clicked, this, [this, button] {
                if (button->bar())
                    return; // its bar drops down instead
                activate(button);
            });
            if (button->bar()) {
                auto *menu = new QMenu(tool);
                // Built afresh each time it opens, so captions and check marks are current.
                connect(menu, &QMenu::aboutToShow, this, [this, menu, button] {
                    menu->clear();
                    qDeleteAll(menu->findChildren<QMenu *>(Qt::FindDirectChildrenOnly));
                    fillMenu(menu, button->bar());
                    emit dropDownOpened(m_index);
                });
                connect(menu, &QMenu::aboutToHide, this, [this, tool] {
                    // The pointer left the button while its menu was open, so the button
                    // never heard it go: it would stay highlighted after the pick.
                    tool->setDown(false);
                    if (!tool->rect().contains(tool->mapFromGlobal(QCursor::pos())))
                        tool->setAttribute(Qt::WA_UnderMouse, false);
                    tool->update();
                    emit dropDownClosed(m_index);
                });
                tool->setMenu(menu);
                tool->setPopupMode(QToolButton::InstantPopup);
            }
            item = tool;
        }
        item->setProperty(kButtonProperty, QVariant::fromValue<QObject *>(button));
        connect(button, &CommandButton::changed, item, [this] { refresh(); });
        m_layout->insertWidget(i, item);
        m_items.append(item);
    }
    refresh();
}

void CommandBar::refresh()
{
    for (QWidget *item : std::as_const(m_items)) {
        CommandButton *button = buttonOf(item);
        if (!button)
            continue;
        if (button->style() == CommandButton::Panel) {
            item->setFixedWidth(std::max(0, button->panelWidth()));
            if (QWidget *control = button->panelControl()) {
                if (control->parent() != item) {
                    control->setParent(item);
                    control->show();
                }
                control->setGeometry(0, 0, std::max(0, button->panelWidth()), height());
            }
            continue;
        }
        auto *tool = qobject_cast<QToolButton *>(item);
        if (!tool)
            continue;
        const QIcon icon = m_images ? m_images->icon(button->image()) : QIcon();
        tool->setIcon(icon);
        tool->setIconSize(QSize(16, 16));
        tool->setText(button->caption());
        tool->setToolTip(button->toolTip());
        // What a screen reader says: the caption, else the tooltip.
        tool->setAccessibleName(button->caption().isEmpty() ? button->toolTip() : button->caption());
        tool->setEnabled(button->enabled());
        const bool checkable = button->style() == CommandButton::CheckItem || button->style() == CommandButton::OptionItem;
        tool->setCheckable(checkable);
        tool->setChecked(checkable && button->checked());
        tool->setToolButtonStyle(button->captionShown() || icon.isNull() ? Qt::ToolButtonTextBesideIcon
                                                                       : Qt::ToolButtonIconOnly);
        static_cast<BarToolButton *>(tool)->setArrow(button->dropDownArrow());
    }
}

QMenu *CommandBar::buildMenu(CommandBarBar *bar, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    fillMenu(menu, bar);
    return menu;
}

void CommandBar::fillMenu(QMenu *menu, CommandBarBar *bar)
{
    menu->setStyleSheet(styleSheet(m_style));
    menu->setToolTipsVisible(true);
    // A bar that begins with a separator shows it ("FILE" does).
    menu->setSeparatorsCollapsible(false);
    if (!bar)
        return;
    for (CommandButton *button : bar->buttons()) {
        if (button->style() == CommandButton::Separator) {
            menu->addSeparator();
            continue;
        }
        if (button->style() == CommandButton::Panel)
            continue;
        const ImageList *images = m_dropImages ? m_dropImages : m_images;
        QAction *action = nullptr;
        if (button->bar()) {
            QMenu *sub = buildMenu(button->bar(), menu);
            sub->setTitle(button->caption());
            action = menu->addMenu(sub);
        } else {
            // An item without a caption in this language still says what it is.
            action = menu->addAction(button->caption().isEmpty() ? button->toolTip() : button->caption());
            connect(action, &QAction::triggered, this, [this, button, bar] {
                if (button->style() == CommandButton::CheckItem) {
                    button->setChecked(!button->checked());
                } else if (button->style() == CommandButton::OptionItem) {
                    for (CommandButton *other : bar->buttons()) {
                        if (other != button && other->style() == CommandButton::OptionItem)
                            other->setChecked(false);
                    }
                    button->setChecked(true);
                }
                dropDownInstance()->reportClick(button);
            });
        }
        action->setObjectName(button->key());
        if (images)
            action->setIcon(images->icon(button->image()));
        action->setToolTip(button->toolTip());
        action->setEnabled(button->enabled());
        const bool checkable = button->style() == CommandButton::CheckItem || button->style() == CommandButton::OptionItem;
        action->setCheckable(checkable);
        action->setChecked(checkable && button->checked());
    }
}

void CommandBar::activate(CommandButton *button)
{
    if (!button || !button->enabled())
        return;
    if (button->style() == CommandButton::CheckItem) {
        button->setChecked(!button->checked());
    } else if (button->style() == CommandButton::OptionItem && m_toolbar) {
        for (CommandButton *other : m_toolbar->buttons()) {
            if (other != button && other->style() == CommandButton::OptionItem)
                other->setChecked(false);
        }
        button->setChecked(true);
    }
    reportClick(button);
}

void CommandBar::reportClick(CommandButton *button)
{
    emit buttonClick(m_index, button);
}

CommandBar *CommandBar::dropDownInstance()
{
    if (!m_askedForInstance) {
        m_askedForInstance = true;
        CommandBar *created = nullptr;
        emit newInstanceRequest(m_index, &created);
        m_dropInstance = created;
    }
    return m_dropInstance ? m_dropInstance.data() : this;
}
