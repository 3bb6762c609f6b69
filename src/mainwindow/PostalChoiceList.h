#pragma once
// The small list the main window opens when a postal code has several
// addresses, or an address several codes: it opens under a field with the
// first line selected and the focus; the arrow keys move, Enter (or a double
// click) chooses, Escape or leaving it closes it without a choice.

#include <QListWidget>

class QWidget;

class PostalChoiceList : public QListWidget
{
    Q_OBJECT
public:
    explicit PostalChoiceList(QWidget *window);

    // Shows the lines under `anchor` (a field of the same window), at most
    // ten lines high, and takes the focus.
    void open(const QStringList &lines, QWidget *anchor);

Q_SIGNALS:
    // The list has closed on a choice: the line's index.
    void chosen(int index);
    // The list has closed without a choice.
    void cancelled();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void finish(int index);
    bool m_closing = false;
};
