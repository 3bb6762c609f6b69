#pragma once
// What assistive technology sees of the numeric edit field TZuNumEdit: an
// editable text whose value is the display text, named by the widget's
// accessible name. The selection is all or nothing and the caret always stands
// at the end, as in the field itself.

#include <QAccessibleWidget>

class TZuNumEdit;

class ZuNumEditAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ZuNumEditAccessible(TZuNumEdit *w);

    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType t) override;

    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

private:
    TZuNumEdit *edit() const;
};

// Makes QAccessible build a ZuNumEditAccessible for every TZuNumEdit; the
// first call installs the factory, later calls do nothing.
void InstallZuNumEditAccessibleFactory();
