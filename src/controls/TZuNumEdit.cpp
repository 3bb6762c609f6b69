#include "controls/TZuNumEdit.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <qdrawutil.h>

using namespace Qt::StringLiterals;

namespace {

std::function<void()> &BeepHandler()
{
    static std::function<void()> handler;
    return handler;
}

// What assistive technology sees: an editable text whose value is the display
// text, named by the widget's accessible name.
class ZuNumEditAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ZuNumEditAccessible(TZuNumEdit *w) : QAccessibleWidget(w, QAccessible::EditableText) {}

    TZuNumEdit *edit() const { return static_cast<TZuNumEdit *>(widget()); }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = !edit()->isReadOnly();
        s.readOnly = edit()->isReadOnly();
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return edit()->valText();
        return QAccessibleWidget::text(t);
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    // The selection is all or nothing and the caret always stands at the end.
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        const bool has = selectionIndex == 0 && edit()->selLength() > 0;
        *startOffset = 0;
        *endOffset = has ? edit()->selLength() : 0;
    }
    int selectionCount() const override { return edit()->selLength() > 0 ? 1 : 0; }
    void addSelection(int, int) override { edit()->selectAll(); }
    void removeSelection(int) override { edit()->clearSelect(); }
    void setSelection(int, int startOffset, int endOffset) override
    {
        if (endOffset > startOffset)
            edit()->selectAll();
        else
            edit()->clearSelect();
    }
    int cursorPosition() const override { return characterCount(); }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        const QString v = edit()->valText();
        startOffset = qBound(0, startOffset, int(v.size()));
        endOffset = qBound(startOffset, endOffset, int(v.size()));
        return v.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(edit()->valText().size()); }
    QRect characterRect(int offset) const override
    {
        const QString v = edit()->valText();
        if (offset < 0 || offset >= v.size())
            return QRect();
        const QFontMetrics fm(edit()->font());
        const QRect r = edit()->drawRect();
        const int x = r.left() + fm.horizontalAdvance(v.left(offset));
        const QRect local(x, r.top(), fm.horizontalAdvance(v.at(offset)), r.height());
        return QRect(edit()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = edit()->mapFromGlobal(point);
        const QString v = edit()->valText();
        const QFontMetrics fm(edit()->font());
        const QRect r = edit()->drawRect();
        if (!r.contains(local))
            return -1;
        for (int i = 0; i < v.size(); ++i) {
            if (local.x() < r.left() + fm.horizontalAdvance(v.left(i + 1)))
                return i;
        }
        return -1;
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = offset;
        *endOffset = offset;
        return QString();
    }
};

QAccessibleInterface *ZuNumEditAccessibleFactory(const QString &key, QObject *object)
{
    if (key == u"TZuNumEdit"_s && object && object->isWidgetType())
        return new ZuNumEditAccessible(static_cast<TZuNumEdit *>(object));
    return nullptr;
}

void InstallAccessibleFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(ZuNumEditAccessibleFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

TZuNumEdit::TZuNumEdit(QWidget *parent) : QWidget(parent)
{
    InstallAccessibleFactory();
    resize(121, 20);
    setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setAttribute(Qt::WA_KeyCompression, false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_color = palette().color(QPalette::Active, QPalette::Base);
    m_disabledColor = palette().color(QPalette::Disabled, QPalette::Text);
    m_nowInit = false;
    fontChanged();
}

TZuNumEdit::~TZuNumEdit() = default;

// --- text and properties ------------------------------------------------------

QString TZuNumEdit::text() const
{
    return m_model.text();
}

void TZuNumEdit::setText(const QString &text)
{
    if (m_model.setText(text))
        updateView();
}

QString TZuNumEdit::valText() const
{
    return m_model.valText();
}

int TZuNumEdit::integerLength() const
{
    return m_model.format().integerLength;
}

void TZuNumEdit::setIntegerLength(int v)
{
    if (m_model.setIntegerLength(v))
        updateView();
}

int TZuNumEdit::decimalLength() const
{
    return m_model.format().decimalLength;
}

void TZuNumEdit::setDecimalLength(int v)
{
    if (m_model.setDecimalLength(v))
        updateView();
}

bool TZuNumEdit::isMinus() const
{
    return m_model.format().minus;
}

void TZuNumEdit::setMinus(bool v)
{
    if (m_model.setMinus(v))
        updateView();
}

bool TZuNumEdit::isComma() const
{
    return m_model.format().comma;
}

void TZuNumEdit::setComma(bool v)
{
    if (m_model.setComma(v))
        updateView();
}

bool TZuNumEdit::isDecimalFixed() const
{
    return m_model.format().decimalFixed;
}

void TZuNumEdit::setDecimalFixed(bool v)
{
    if (m_model.setDecimalFixed(v))
        updateView();
}

QString TZuNumEdit::leftMark() const
{
    return m_model.format().leftMark;
}

void TZuNumEdit::setLeftMark(const QString &v)
{
    if (m_model.setLeftMark(v))
        updateView();
}

QString TZuNumEdit::rightMark() const
{
    return m_model.format().rightMark;
}

void TZuNumEdit::setRightMark(const QString &v)
{
    if (m_model.setRightMark(v))
        updateView();
}

bool TZuNumEdit::isReadOnly() const
{
    return m_model.isReadOnly();
}

void TZuNumEdit::setReadOnly(bool v)
{
    m_model.setReadOnly(v);
}

bool TZuNumEdit::isEnterFocusMove() const
{
    return m_model.enterFocusMove();
}

void TZuNumEdit::setEnterFocusMove(bool v)
{
    m_model.setEnterFocusMove(v);
}

void TZuNumEdit::setAutoSelect(bool v)
{
    if (v == m_autoSelect)
        return;
    m_autoSelect = v;
    update();
}

void TZuNumEdit::setAutoSize(bool v)
{
    if (v == m_autoSize)
        return;
    m_autoSize = v;
    adjustHeight();
    updateView();
}

void TZuNumEdit::setAlignment(TAlignment v)
{
    if (v == m_alignment)
        return;
    m_alignment = v;
    updateView();
}

void TZuNumEdit::setVertAlignment(TVertAlignment v)
{
    if (v == m_vertAlignment)
        return;
    m_vertAlignment = v;
    updateView();
}

void TZuNumEdit::setBorderStyle(TBorderStyle v)
{
    if (v == m_borderStyle)
        return;
    m_borderStyle = v;
    adjustHeight();
    updateView();
}

void TZuNumEdit::setCtl3D(bool v)
{
    if (v == m_ctl3D)
        return;
    m_ctl3D = v;
    adjustHeight();
    updateView();
}

void TZuNumEdit::setTopMargin(int v)
{
    if (v < 0 || v == m_topMargin)
        return;
    m_topMargin = v;
    adjustHeight();
    updateView();
}

void TZuNumEdit::setLeftMargin(int v)
{
    if (v < 0 || v == m_leftMargin)
        return;
    m_leftMargin = v;
    updateView();
}

void TZuNumEdit::setBottomMargin(int v)
{
    if (v < 0 || v == m_bottomMargin)
        return;
    m_bottomMargin = v;
    adjustHeight();
    updateView();
}

void TZuNumEdit::setRightMargin(int v)
{
    if (v < 0 || v == m_rightMargin)
        return;
    m_rightMargin = v;
    updateView();
}

void TZuNumEdit::setColor(const QColor &v)
{
    if (v == m_color)
        return;
    m_color = v;
    update();
}

void TZuNumEdit::setDisabledColor(const QColor &v)
{
    if (v == m_disabledColor)
        return;
    m_disabledColor = v;
    update();
}

void TZuNumEdit::setInputMethodEnabled(bool on)
{
    setAttribute(Qt::WA_InputMethodEnabled, on);
}

QMenu *TZuNumEdit::popupMenu() const
{
    return m_popupMenu ? m_popupMenu.data() : builtInPopup();
}

void TZuNumEdit::setPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
}

QList<QAction *> TZuNumEdit::editPopupItems() const
{
    builtInPopup();
    return m_editPopupItems;
}

bool TZuNumEdit::isModified() const
{
    return m_model.isModified();
}

void TZuNumEdit::setModified(bool v)
{
    m_model.setModified(v);
}

bool TZuNumEdit::canUndo() const
{
    return m_model.canUndo();
}

int TZuNumEdit::selLength() const
{
    return m_model.selLength();
}

int TZuNumEdit::selStart() const
{
    return m_model.selStart();
}

void TZuNumEdit::setBeepHandler(std::function<void()> handler)
{
    BeepHandler() = std::move(handler);
}

// --- operations ---------------------------------------------------------------

void TZuNumEdit::clear()
{
    m_model.clear();
    updateView();
}

void TZuNumEdit::clearSelect()
{
    m_model.clearSelect();
    updateView();
}

void TZuNumEdit::clearSelection()
{
    m_model.clearSelection();
    updateView();
}

void TZuNumEdit::clearUndo()
{
    m_model.clearUndo();
}

void TZuNumEdit::copyToClipboard()
{
    if (!m_model.hasSelection())
        return;
    QGuiApplication::clipboard()->setText(m_model.copyText(m_imageCopy));
}

void TZuNumEdit::cutToClipboard()
{
    if (!m_model.hasSelection())
        return;
    QString clip;
    const zunum::EditResult r = m_model.cut(m_imageCopy, &clip);
    QGuiApplication::clipboard()->setText(clip);
    apply(r);
}

void TZuNumEdit::pasteFromClipboard()
{
    apply(m_model.paste(QGuiApplication::clipboard()->text()));
}

void TZuNumEdit::selectAll()
{
    m_model.selectAll();
    updateView();
}

void TZuNumEdit::undo()
{
    apply(m_model.undo());
}

// --- geometry -----------------------------------------------------------------

// The pixels the painted border takes on each side.
int TZuNumEdit::borderWidth() const
{
    if (m_borderStyle == bsNone)
        return 0;
    return m_ctl3D ? 2 : 1;
}

int TZuNumEdit::clientWidth() const
{
    return width() - 2 * borderWidth();
}

int TZuNumEdit::clientHeight() const
{
    return height() - 2 * borderWidth();
}

// The width left for the display text. Even without a border one pixel on
// each side is kept free, so the last digit never touches the edge.
int TZuNumEdit::availableWidth() const
{
    const int b = (m_borderStyle == bsSingle && m_ctl3D) ? 2 : 1;
    return clientWidth() - m_leftMargin - m_rightMargin - 2 * b;
}

int TZuNumEdit::displayWidth(const QString &canonical) const
{
    return QFontMetrics(font()).horizontalAdvance(zunum::FormatValText(canonical, m_model.format()));
}

bool TZuNumEdit::textFits(const QString &candidate) const
{
    return displayWidth(candidate) <= availableWidth();
}

zunum::FitTest TZuNumEdit::fitTest() const
{
    return [this](const QString &candidate) { return textFits(candidate); };
}

QPoint TZuNumEdit::textOrigin() const
{
    const int a = displayWidth(m_model.text());
    const int w = clientWidth();
    const int h = clientHeight();
    int x0 = 0;
    switch (m_alignment) {
    case taLeftJustify: x0 = m_leftMargin; break;
    case taRightJustify: x0 = w - m_rightMargin - a - 1; break;
    case taCenter: x0 = (w - m_leftMargin - m_rightMargin) / 2 + m_leftMargin - 1 - a / 2; break;
    }
    int y = 0;
    switch (m_vertAlignment) {
    case taTopJustify: y = m_topMargin; break;
    case taBottomJustify: y = h - m_fontHeight - m_bottomMargin; break;
    case taVCenter: y = (h - m_fontHeight - m_topMargin - m_bottomMargin) / 2 + m_topMargin; break;
    }
    const int b = borderWidth();
    return QPoint(x0 + b, y + b);
}

QRect TZuNumEdit::caretRect() const
{
    return m_caretRect;
}

QSize TZuNumEdit::sizeHint() const
{
    const int h = m_autoSize ? m_fontHeight + m_topMargin + m_bottomMargin + 2 * borderWidth() : 20;
    return QSize(121, h);
}

// The font's cell height (ascent plus descent) stands for the height of "M":
// it is the height a line of text takes, so text drawn at the top of the
// text rectangle stays inside it in every font.
void TZuNumEdit::fontChanged()
{
    if (m_nowInit)
        return;
    const QFontMetrics fm(font());
    m_fontHeight = fm.height();
    m_caretWidth = font().bold() ? 2 : 1;
    if (m_caretExists) {
        destroyEditCaret();
        createEditCaret();
    }
    adjustHeight();
    updateView();
}

void TZuNumEdit::adjustHeight()
{
    if (!m_autoSize || m_nowInit)
        return;
    const int h = m_fontHeight + m_topMargin + m_bottomMargin + 2 * borderWidth();
    if (height() != h)
        resize(width(), h);
    updateGeometry();
}

// --- caret --------------------------------------------------------------------

void TZuNumEdit::createEditCaret()
{
    m_caretExists = true;
    m_caretOn = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (flash > 0)
        m_blinkTimer.start(flash / 2, this);
    setEditCaretPos();
}

void TZuNumEdit::setEditCaretPos()
{
    const QPoint o = textOrigin();
    const int offset = QFontMetrics(font()).horizontalAdvance(zunum::CaretText(m_model.text(), m_model.format()));
    const QRect r(o.x() + offset, o.y(), m_caretWidth, m_fontHeight);
    if (r != m_caretRect) {
        update(m_caretRect);
        m_caretRect = r;
        update(m_caretRect);
    }
    if (hasFocus() && m_caretExists) {
        m_caretOn = true; // a moved caret shows at once
        const int flash = QGuiApplication::styleHints()->cursorFlashTime();
        if (flash > 0)
            m_blinkTimer.start(flash / 2, this);
        QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
    }
}

void TZuNumEdit::destroyEditCaret()
{
    m_caretExists = false;
    m_caretOn = false;
    m_blinkTimer.stop();
    update(m_caretRect);
}

void TZuNumEdit::timerEvent(QTimerEvent *e)
{
    if (e->timerId() == m_blinkTimer.timerId()) {
        m_caretOn = !m_caretOn;
        update(m_caretRect);
        return;
    }
    QWidget::timerEvent(e);
}

// --- painting -----------------------------------------------------------------

void TZuNumEdit::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), m_color);
    const int b = borderWidth();
    if (b == 2)
        qDrawWinPanel(&p, rect(), palette(), true);
    else if (b == 1)
        qDrawPlainRect(&p, rect(), palette().color(QPalette::WindowText), 1);

    const QPoint o = textOrigin();
    const QString v = m_model.valText();
    const QFontMetrics fm(font());
    m_drawRect = QRect(o.x(), o.y(), fm.horizontalAdvance(v), m_fontHeight);

    QColor background = m_color;
    QColor foreground = palette().color(QPalette::Active, QPalette::Text);
    if (!isEnabled()) {
        foreground = m_disabledColor;
    } else if (m_model.hasSelection()) {
        background = palette().color(QPalette::Active, QPalette::Highlight);
        foreground = palette().color(QPalette::Active, QPalette::HighlightedText);
    }
    p.setClipRect(rect().adjusted(b, b, -b, -b));
    p.fillRect(m_drawRect, background);
    p.setPen(foreground);
    p.setFont(font());
    p.drawText(QPoint(m_drawRect.left(), m_drawRect.top() + fm.ascent()), v);

    if (m_caretExists && m_caretOn && hasFocus())
        p.fillRect(m_caretRect, foreground);
}

// m_drawRect is refreshed by paintEvent; between paints it is kept current
// here too, so mouse selection works before the first paint.
void TZuNumEdit::updateView()
{
    const QPoint o = textOrigin();
    m_drawRect = QRect(o.x(), o.y(), QFontMetrics(font()).horizontalAdvance(m_model.valText()), m_fontHeight);
    update();
    setEditCaretPos();
    notifyAccessibility();
}

void TZuNumEdit::notifyAccessibility()
{
    if (!QAccessible::isActive())
        return;
    QAccessibleValueChangeEvent ev(this, m_model.valText());
    QAccessible::updateAccessibility(&ev);
}

// --- events -------------------------------------------------------------------

bool TZuNumEdit::event(QEvent *e)
{
    // Keys this field handles itself must reach keyPressEvent even when a
    // window-wide shortcut uses them.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const Qt::KeyboardModifiers mods =
            ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        const int key = ke->key();
        bool ours = false;
        if (mods == Qt::ControlModifier)
            ours = key == Qt::Key_A || key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X;
        else if (mods == Qt::NoModifier || mods == Qt::ShiftModifier)
            ours = key == Qt::Key_Backspace || key == Qt::Key_Delete || key == Qt::Key_Home || key == Qt::Key_End ||
                   key == Qt::Key_Left || key == Qt::Key_Right || (!ke->text().isEmpty() && ke->text().at(0).isPrint());
        if (ours) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void TZuNumEdit::beep()
{
    if (!m_errorBeep)
        return;
    if (BeepHandler())
        BeepHandler()();
    else
        QApplication::beep();
}

void TZuNumEdit::apply(const zunum::EditResult &r)
{
    if (r.beep)
        beep();
    updateView();
    moveFocus(r.focus);
    if (r.changed)
        Q_EMIT changed();
}

void TZuNumEdit::moveFocus(zunum::FocusMove move)
{
    if (move == zunum::FocusMove::None || !parentWidget())
        return;
    const bool next = move == zunum::FocusMove::Next;
    // Queued, so the owner's handling of the current key is over before the
    // focus moves.
    QMetaObject::invokeMethod(
        this, [this, next] { focusNextPrevChild(next); }, Qt::QueuedConnection);
}

void TZuNumEdit::handleChar(QChar c)
{
    apply(m_model.inputChar(c, fitTest()));
}

void TZuNumEdit::keyPressEvent(QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = e->key();
    e->accept();

    if (mods == Qt::ShiftModifier && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        selectAll();
        return;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_A) {
        selectAll();
        return;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_C) {
        copyToClipboard();
        return;
    }
    if (mods == Qt::NoModifier) {
        switch (key) {
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_End:
        case Qt::Key_Home:
        case Qt::Key_Left:
        case Qt::Key_Right: clearSelect(); return;
        case Qt::Key_Up:
            clearSelect();
            if (m_arrowFocusMove)
                moveFocus(zunum::FocusMove::Previous);
            return;
        case Qt::Key_Down:
            clearSelect();
            if (m_arrowFocusMove)
                moveFocus(zunum::FocusMove::Next);
            return;
        default: break;
        }
    }
    if (!isReadOnly()) {
        if (mods == Qt::ControlModifier && key == Qt::Key_V) {
            pasteFromClipboard();
            return;
        }
        if (mods == Qt::ControlModifier && key == Qt::Key_X) {
            cutToClipboard();
            return;
        }
        if (mods == Qt::NoModifier && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
            apply(m_model.deleteLastChar());
            return;
        }
    }

    // Alt combinations belong to the window's menus and mnemonics.
    if ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier)) {
        e->ignore();
        return;
    }
    QString chars = e->text();
    if (key == Qt::Key_Delete)
        chars.clear(); // the Delete key types no character
    if (chars.isEmpty() && (key == Qt::Key_Return || key == Qt::Key_Enter))
        chars = QString(QChar(0x0D));
    if (chars.isEmpty()) {
        // Function keys, modifiers alone and other keys without a character
        // go on to the owner (the window's function-key handling).
        e->ignore();
        return;
    }
    for (const QChar c : std::as_const(chars))
        handleChar(c);
}

void TZuNumEdit::inputMethodEvent(QInputMethodEvent *e)
{
    const QString commit = e->commitString();
    for (const QChar c : commit)
        handleChar(zunum::MapInputMethodChar(c));
    e->accept();
}

QVariant TZuNumEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    switch (query) {
    case Qt::ImEnabled: return testAttribute(Qt::WA_InputMethodEnabled);
    case Qt::ImCursorRectangle: return m_caretRect;
    case Qt::ImFont: return font();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition: return int(m_model.valText().size());
    case Qt::ImSurroundingText: return m_model.valText();
    case Qt::ImCurrentSelection: return m_model.hasSelection() ? m_model.valText() : QString();
    case Qt::ImMaximumTextLength: return QVariant();
    default: return QWidget::inputMethodQuery(query);
    }
}

// A popup menu and the deactivation of the window take the focus away only
// for a moment: the operator has not left the field, so the number, the
// lone minus sign and the selection stay (the menu's cut and copy need it).
static bool LeavesTheField(Qt::FocusReason reason)
{
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}

void TZuNumEdit::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    if (LeavesTheField(e->reason()) && m_autoSelect)
        m_model.selectAll();
    createEditCaret();
    updateView();
}

void TZuNumEdit::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    if (LeavesTheField(e->reason())) {
        m_model.removeLoneMinus();
        if (m_hideSelection)
            m_model.clearSelect();
    }
    destroyEditCaret();
    updateView();
}

void TZuNumEdit::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        if (!m_dblClickFlag) {
            if (QApplication::activeWindow())
                setFocus(Qt::MouseFocusReason);
            clearSelect();
        }
        m_dblClickFlag = false;
    }
    QWidget::mousePressEvent(e);
}

void TZuNumEdit::mouseDoubleClickEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        selectAll();
        m_dblClickFlag = true;
    }
    mousePressEvent(e);
}

void TZuNumEdit::mouseMoveEvent(QMouseEvent *e)
{
    if (e->buttons() & Qt::LeftButton) {
        const int x = qRound(e->position().x());
        if (x >= m_drawRect.left() && x <= m_drawRect.left() + m_drawRect.width())
            selectAll();
    }
    QWidget::mouseMoveEvent(e);
}

void TZuNumEdit::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    updateView();
}

void TZuNumEdit::changeEvent(QEvent *e)
{
    switch (e->type()) {
    case QEvent::FontChange: fontChanged(); break;
    case QEvent::EnabledChange:
    case QEvent::PaletteChange: update(); break;
    case QEvent::ParentChange: fontChanged(); break;
    default: break;
    }
    QWidget::changeEvent(e);
}

// --- context menu -------------------------------------------------------------

// The built-in menu is made when it is first asked for: a window holds dozens
// of these fields, and a menu per field would only slow the window's start.
QMenu *TZuNumEdit::builtInPopup() const
{
    if (!m_editPopup)
        const_cast<TZuNumEdit *>(this)->buildPopup();
    return m_editPopup;
}

void TZuNumEdit::buildPopup()
{
    m_editPopup = new QMenu(this);
    m_editPopup->setObjectName(u"EditPopup"_s);
    struct Item
    {
        QString caption;
        void (TZuNumEdit::*slot)();
    };
    const Item items[] = {
        {u"元に戻す(&U)"_s, &TZuNumEdit::undo},
        {u"-"_s, nullptr},
        {u"切り取り(&T)"_s, &TZuNumEdit::cutToClipboard},
        {u"コピー(&C)"_s, &TZuNumEdit::copyToClipboard},
        {u"貼り付け(&P)"_s, &TZuNumEdit::pasteFromClipboard},
        {u"削除(&D)"_s, &TZuNumEdit::clear},
        {u"-"_s, nullptr},
        {u"すべて選択(&A)"_s, &TZuNumEdit::selectAll},
    };
    int index = 0;
    for (const Item &item : items) {
        QAction *a = item.slot ? m_editPopup->addAction(item.caption) : m_editPopup->addSeparator();
        a->setData(index);
        a->setObjectName(u"EditPopupItems%1"_s.arg(index));
        if (item.slot)
            connect(a, &QAction::triggered, this, item.slot);
        m_editPopupItems.append(a);
        ++index;
    }
    connect(m_editPopup, &QMenu::aboutToShow, this, &TZuNumEdit::updatePopup);
}

void TZuNumEdit::updatePopup()
{
    const bool ro = isReadOnly();
    const bool selected = m_model.hasSelection();
    m_editPopupItems[0]->setEnabled(m_model.canUndo() && !ro);
    m_editPopupItems[2]->setEnabled(selected && !ro);
    m_editPopupItems[3]->setEnabled(selected);
    m_editPopupItems[4]->setEnabled(!QGuiApplication::clipboard()->text().isEmpty() && !ro);
    m_editPopupItems[5]->setEnabled(selected && !ro);
    m_editPopupItems[7]->setEnabled(!selected && !m_model.text().isEmpty());
}

void TZuNumEdit::contextMenuEvent(QContextMenuEvent *e)
{
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    if (QMenu *menu = popupMenu())
        menu->exec(e->globalPos());
    e->accept();
}
