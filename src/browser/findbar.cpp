#include "findbar.h"

#include "platform/webbrowser.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStyle>
#include <QToolButton>

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    setAutoFillBackground(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    m_label = new QLabel(this);
    m_text = new QLineEdit(this);
    m_text->setClearButtonEnabled(true);
    m_text->setMaximumWidth(320);
    m_previous = new QToolButton(this);
    m_previous->setArrowType(Qt::UpArrow);
    m_next = new QToolButton(this);
    m_next->setArrowType(Qt::DownArrow);
    m_matches = new QLabel(this);
    m_close = new QToolButton(this);
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    layout->addWidget(m_label);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addWidget(m_matches);
    layout->addStretch(1);
    layout->addWidget(m_close);
    connect(m_text, &QLineEdit::textChanged, this, [this] { find(false); });
    connect(m_text, &QLineEdit::returnPressed, this, &FindBar::findNext);
    connect(m_next, &QToolButton::clicked, this, &FindBar::findNext);
    connect(m_previous, &QToolButton::clicked, this, &FindBar::findPrevious);
    connect(m_close, &QToolButton::clicked, this, &FindBar::close);
    hide();
}

void FindBar::setTexts(const QString &label, const QString &next, const QString &previous, const QString &matches)
{
    m_label->setText(label);
    m_next->setToolTip(next);
    m_previous->setToolTip(previous);
    m_matchesWord = matches;
}

void FindBar::open(WebBrowser *browser)
{
    QPointer<WebBrowser> web(browser);
    open(Finder{[web](const QString &text, bool backward, const std::function<void(int, int)> &done) {
                    if (web)
                        web->find(text, backward, done);
                },
                [web] {
                    if (web)
                        web->stopFinding();
                }});
}

void FindBar::open(const Finder &finder)
{
    if (m_finder.stop)
        m_finder.stop();
    m_finder = finder;
    show();
    raise();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
    if (!m_text->text().isEmpty())
        find(false);
}

void FindBar::close()
{
    if (m_finder.stop)
        m_finder.stop();
    m_finder = {};
    hide();
}

QString FindBar::matchText() const
{
    return m_matches->text();
}

void FindBar::findNext()
{
    find(false);
}

void FindBar::findPrevious()
{
    find(true);
}

void FindBar::find(bool backward)
{
    if (!m_finder.find)
        return;
    QPointer<FindBar> self(this);
    m_finder.find(m_text->text(), backward, [self](int active, int count) {
        if (!self)
            return;
        self->m_active = active;
        self->m_count = count;
        self->m_matches->setText(self->m_text->text().isEmpty()
                                     ? QString()
                                     : QStringLiteral("%1/%2 %3").arg(active).arg(count).arg(self->m_matchesWord));
        emit self->searched();
    });
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
