#pragma once
// TZuNumEdit: the program's own single-line numeric entry field.
//
// It keeps its number as canonical numeric text (text(): optional "-", digits,
// at most one ".") and shows it as a display text (valText(): separators,
// fixed decimals, marks). Editing always happens at the end of the number and
// the selection is all or nothing. The field draws itself and its caret; all
// text rules live in zunum::ZuNumModel, the widget maps events onto it and
// paints.
//
// Owners hook their own key, enter and exit handling in with event filters on
// the field; the field does its work in keyPressEvent, focusInEvent and
// focusOutEvent, so an owner's filter always runs first and can swallow the
// event. Focus movement on Enter and the arrow keys is queued, so it happens
// after the owner's handlers have seen the key.
//
// Input method: the field starts with Qt::WA_InputMethodEnabled set (any input
// method may be used, full-width digits, minus and full stop are read as their
// ASCII forms). An owner that wants the input method off for a field clears
// the attribute (setAttribute(Qt::WA_InputMethodEnabled, false)) or calls
// setInputMethodEnabled(false).

#include "numedit/ZuNumModel.h"

#include <QBasicTimer>
#include <QColor>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

class QMenu;
class QAction;

class TZuNumEdit : public QWidget
{
    Q_OBJECT

public:
    enum TAlignment
    {
        taLeftJustify,
        taRightJustify,
        taCenter
    };
    Q_ENUM(TAlignment)
    enum TVertAlignment
    {
        taTopJustify,
        taBottomJustify,
        taVCenter
    };
    Q_ENUM(TVertAlignment)
    enum TBorderStyle
    {
        bsNone,
        bsSingle
    };
    Q_ENUM(TBorderStyle)

    explicit TZuNumEdit(QWidget *parent = nullptr);
    ~TZuNumEdit() override;

    // The canonical text. setText() filters any text into canonical form,
    // repaints and raises no changed() signal; it leaves the modified flag and
    // the undo step alone.
    QString text() const;
    void setText(const QString &text);
    // The display text.
    QString valText() const;

    // Properties; each setter ignores a value equal to the current one, and
    // the integer setters ignore negative values.
    int integerLength() const;
    void setIntegerLength(int v);
    int decimalLength() const;
    void setDecimalLength(int v);
    bool isMinus() const;
    void setMinus(bool v);
    bool isComma() const;
    void setComma(bool v);
    bool isDecimalFixed() const;
    void setDecimalFixed(bool v);
    QString leftMark() const;
    void setLeftMark(const QString &v);
    QString rightMark() const;
    void setRightMark(const QString &v);
    bool isReadOnly() const;
    void setReadOnly(bool v);
    bool isEnterFocusMove() const;
    void setEnterFocusMove(bool v);
    bool isArrowFocusMove() const { return m_arrowFocusMove; }
    void setArrowFocusMove(bool v) { m_arrowFocusMove = v; }
    bool isAutoSelect() const { return m_autoSelect; }
    void setAutoSelect(bool v);
    bool isAutoSize() const { return m_autoSize; }
    void setAutoSize(bool v);
    bool isErrorBeep() const { return m_errorBeep; }
    void setErrorBeep(bool v) { m_errorBeep = v; }
    bool isImageCopy() const { return m_imageCopy; }
    void setImageCopy(bool v) { m_imageCopy = v; }
    bool isHideSelection() const { return m_hideSelection; }
    void setHideSelection(bool v) { m_hideSelection = v; }
    TAlignment alignment() const { return m_alignment; }
    void setAlignment(TAlignment v);
    TVertAlignment vertAlignment() const { return m_vertAlignment; }
    void setVertAlignment(TVertAlignment v);
    TBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle v);
    // The sunken 3D border (on by default); with it a single border is two
    // pixels wide, without it one.
    bool isCtl3D() const { return m_ctl3D; }
    void setCtl3D(bool v);
    int topMargin() const { return m_topMargin; }
    void setTopMargin(int v);
    int leftMargin() const { return m_leftMargin; }
    void setLeftMargin(int v);
    int bottomMargin() const { return m_bottomMargin; }
    void setBottomMargin(int v);
    int rightMargin() const { return m_rightMargin; }
    void setRightMargin(int v);
    // Background colour; the default is the palette's base (window) colour.
    QColor color() const { return m_color; }
    void setColor(const QColor &v);
    // Text colour while disabled; the default is the palette's disabled text colour.
    QColor disabledColor() const { return m_disabledColor; }
    void setDisabledColor(const QColor &v);
    void setInputMethodEnabled(bool on);

    // The context menu; the built-in one unless the owner assigns another
    // (nullptr brings the built-in one back).
    QMenu *popupMenu() const;
    void setPopupMenu(QMenu *menu);
    // The built-in menu's eight items, in order (1 and 6 are separators).
    QList<QAction *> editPopupItems() const;

    bool isModified() const;
    void setModified(bool v);
    bool canUndo() const;
    int selLength() const;
    int selStart() const;

    // Width available to the display text, and whether a canonical text fits it.
    int availableWidth() const;
    bool textFits(const QString &candidate) const;
    // Where the display text was painted last, and the caret's place.
    QRect drawRect() const { return m_drawRect; }
    QRect caretRect() const;
    // Height in pixels the font's letters take (the height of "M").
    int fontHeight() const { return m_fontHeight; }

    QSize sizeHint() const override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // The alert for refused input; QApplication::beep() unless replaced
    // (tests count beeps through it). An empty function restores the default.
    static void setBeepHandler(std::function<void()> handler);

public Q_SLOTS:
    void clear();
    void clearSelect();
    void clearSelection();
    void clearUndo();
    void copyToClipboard();
    void cutToClipboard();
    void pasteFromClipboard();
    void selectAll();
    void undo();

Q_SIGNALS:
    // Raised by the operator's edits only: typing, deleting, cutting, pasting, undo.
    void changed();

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void inputMethodEvent(QInputMethodEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void changeEvent(QEvent *e) override;
    void contextMenuEvent(QContextMenuEvent *e) override;
    void timerEvent(QTimerEvent *e) override;

    // The caret: created on focus gain, placed after every change, destroyed
    // on focus loss.
    virtual void createEditCaret();
    virtual void setEditCaretPos();
    virtual void destroyEditCaret();
    virtual void adjustHeight();

private:
    void apply(const zunum::EditResult &r);
    void handleChar(QChar c);
    void moveFocus(zunum::FocusMove move);
    void beep();
    void updateView();
    void fontChanged();
    void buildPopup();
    QMenu *builtInPopup() const;
    void updatePopup();
    int borderWidth() const;
    int clientWidth() const;
    int clientHeight() const;
    QPoint textOrigin() const; // (x0, y) in widget coordinates
    int displayWidth(const QString &canonical) const;
    zunum::FitTest fitTest() const;
    void notifyAccessibility();

    zunum::ZuNumModel m_model;
    TAlignment m_alignment = taRightJustify;
    TVertAlignment m_vertAlignment = taVCenter;
    TBorderStyle m_borderStyle = bsSingle;
    bool m_ctl3D = true;
    int m_topMargin = 2;
    int m_leftMargin = 2;
    int m_bottomMargin = 2;
    int m_rightMargin = 2;
    bool m_arrowFocusMove = false;
    bool m_autoSelect = true;
    bool m_autoSize = true;
    bool m_errorBeep = true;
    bool m_imageCopy = false;
    bool m_hideSelection = true;
    QColor m_color;
    QColor m_disabledColor;
    bool m_nowInit = true;
    int m_fontHeight = 0;
    int m_caretWidth = 1;
    bool m_dblClickFlag = false;
    QRect m_drawRect;
    bool m_caretExists = false;
    bool m_caretOn = false;
    QRect m_caretRect;
    QBasicTimer m_blinkTimer;
    QMenu *m_editPopup = nullptr; // made by builtInPopup()
    QList<QAction *> m_editPopupItems;
    QPointer<QMenu> m_popupMenu;
};
