#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QToolButton;
class WebBrowser;

// The find bar of a page, or of any text: a text box, next and previous, and how many
// matches.
class FindBar : public QWidget
{
    Q_OBJECT
public:
    // What the bar searches: find reports the active match (from 1) and the count,
    // now or later; stop takes the marks of the last search away.
    struct Finder
    {
        std::function<void(const QString &text, bool backward, const std::function<void(int, int)> &done)> find;
        std::function<void()> stop;
    };

    explicit FindBar(QWidget *parent);

    // Opens the bar for a page and puts the focus in the text box.
    void open(WebBrowser *browser);
    void open(const Finder &finder);
    void close();
    void setTexts(const QString &label, const QString &next, const QString &previous, const QString &matches);

    QLineEdit *textBox() const { return m_text; }
    QString matchText() const;
    void findNext();
    void findPrevious();

    // The last answer of the page: active match (from 1) and count.
    int activeMatch() const { return m_active; }
    int matchCount() const { return m_count; }

signals:
    void searched();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void find(bool backward);

    Finder m_finder;
    QLabel *m_label = nullptr;
    QLineEdit *m_text = nullptr;
    QToolButton *m_next = nullptr;
    QToolButton *m_previous = nullptr;
    QToolButton *m_close = nullptr;
    QLabel *m_matches = nullptr;
    QString m_matchesWord;
    int m_active = 0;
    int m_count = 0;
};
