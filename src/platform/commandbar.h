#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class CommandBar;
class CommandBarBar;
class ImageList;
class QHBoxLayout;
class QMenu;

// One command of the program: a button identified by its key ("SAVE:PDF"). The same
// button object is shown on every bar and drop-down that lists it.
class CommandButton : public QObject
{
    Q_OBJECT
public:
    enum Style { Normal = 0, Separator = 1, Panel = 3, CheckItem = 4, OptionItem = 6 };

    CommandButton(const QString &key, int image, const QString &caption, int style, const QString &toolTip,
                  QObject *parent);

    const QString &key() const { return m_key; }
    int image() const { return m_image; }
    int style() const { return m_style; }
    QString caption() const { return m_caption; }
    QString toolTip() const { return m_toolTip; }
    bool checked() const { return m_checked; }
    bool enabled() const { return m_enabled; }
    CommandBarBar *bar() const { return m_bar; }
    int panelWidth() const { return m_panelWidth; }
    QWidget *panelControl() const { return m_panelControl; }
    bool dropDownArrow() const { return m_dropDownArrow; }
    bool captionShown() const { return m_captionShown; }

    void setCaption(const QString &caption);
    void setToolTip(const QString &toolTip);
    void setChecked(bool checked);
    void setEnabled(bool enabled);
    void setBar(CommandBarBar *bar);
    void setPanelWidth(int pixels);
    void setPanelControl(QWidget *control);
    void setDropDownArrow(bool on);
    void setCaptionShown(bool on);

signals:
    void changed();

private:
    const QString m_key;
    int m_image = -1;
    QString m_caption;
    int m_style = Normal;
    QString m_toolTip;
    bool m_checked = false;
    bool m_enabled = true;
    CommandBarBar *m_bar = nullptr;
    int m_panelWidth = 0;
    QPointer<QWidget> m_panelControl;
    bool m_dropDownArrow = false;
    bool m_captionShown = false;
};

// A bar: an ordered list of buttons, shown as a toolbar by a control instance or as the
// drop-down of a button.
class CommandBarBar : public QObject
{
    Q_OBJECT
public:
    CommandBarBar(const QString &key, const QString &title, QObject *parent);

    const QString &key() const { return m_key; }
    const QString &title() const { return m_title; }
    const QList<CommandButton *> &buttons() const { return m_buttons; }
    void addButton(CommandButton *button);
    // Puts the button at that position (0 first; past the end it is appended).
    void insertButton(qsizetype position, CommandButton *button);

signals:
    void changed();

private:
    const QString m_key;
    const QString m_title;
    QList<CommandButton *> m_buttons;
};

// The process-wide buttons and bars collections every control instance shares: a
// button created through one instance is found by key through any other.
class CommandCatalogue : public QObject
{
    Q_OBJECT
public:
    static CommandCatalogue &instance();

    // A new button; nullptr when the key is taken (keys are unique).
    CommandButton *addButton(const QString &key, int image, const QString &caption, int style,
                             const QString &toolTip, int shortcutKey = 0, int shortcutMask = 2);
    CommandButton *button(const QString &key) const;
    bool hasButton(const QString &key) const { return m_buttons.contains(key); }

    CommandBarBar *addBar(const QString &key, const QString &title = QString());
    CommandBarBar *bar(const QString &key) const;

    QStringList buttonKeys() const { return m_order; }
    // Forgets every button and bar (tests build the catalogue afresh).
    void clear();

private:
    QHash<QString, CommandButton *> m_buttons;
    QStringList m_order;
    QHash<QString, CommandBarBar *> m_bars;
};

// One instance of the command bar control on a window: it shows one toolbar in one of
// four looks and reports clicks with its instance index.
class CommandBar : public QWidget
{
    Q_OBJECT
public:
    CommandBar(int index, QWidget *parent);

    int index() const { return m_index; }

    void setToolbar(CommandBarBar *bar);
    CommandBarBar *toolbar() const { return m_toolbar; }
    // 0 system, 1 office, 2 money, 3 XP; the whole instance is redrawn.
    void setBarStyle(int style);
    int barStyle() const { return m_style; }
    void setImageLists(const ImageList *toolbarImages, const ImageList *dropDownImages);

    // Twips-free placement helpers used by the windows' layout rules.
    int contentWidth() const;

    // Reports a click on this instance, as the control does for drop-down items on the
    // instance it was given.
    void reportClick(CommandButton *button);

    // Runs a button as a user click would: check and option items change first.
    void activate(CommandButton *button);

    // The menu shown for a drop-down bar, built afresh each time it opens.
    QMenu *buildMenu(CommandBarBar *bar, QWidget *parent);

    static QString styleSheet(int style);

signals:
    void buttonClick(int index, CommandButton *button);
    // The control wants another instance to report drop-down clicks on; the handler
    // sets *created (or leaves it null: the clicks are then reported here).
    void newInstanceRequest(int index, CommandBar **created);
    void dropDownOpened(int index);
    void dropDownClosed(int index);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void rebuild();
    void fillMenu(QMenu *menu, CommandBarBar *bar);
    void refresh();
    CommandBar *dropDownInstance();
    void openDropDown(CommandButton *button, QWidget *anchor);

    const int m_index;
    QPointer<CommandBarBar> m_toolbar;
    int m_style = 0;
    const ImageList *m_images = nullptr;
    const ImageList *m_dropImages = nullptr;
    QHBoxLayout *m_layout = nullptr;
    QList<QWidget *> m_items;
    QPointer<CommandBar> m_dropInstance;
    bool m_askedForInstance = false;
    bool m_shownOnce = false;
};
