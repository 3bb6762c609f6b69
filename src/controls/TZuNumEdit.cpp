#include "controls/TZuNumEdit.h"

#include "controls/ZuNumEditAccessible.h"
#include "controls/ZuNumKeyMap.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <qdrawutil.h>

namespace {

std::function<void()> &BeepHandler()
{
    static std::function<void()> handler;
    return handler;
}

} // namespace

TZuNumEdit::TZuNumEdit(QWidget *parent) : QWidget(parent)
{
    InstallZuNumEditAccessibleFactory();
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
        if (vuzo::IsZuNumEditKey(ke->key(), ke->modifiers(), ke->text())) {
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
    const vuzo::ZuNumKeyAction action = vuzo::MapZuNumKey(e->key(), e->modifiers(), e->text(), isReadOnly());
    e->accept();
    switch (action.op) {
    case vuzo::ZuNumKeyOp::SelectAll: selectAll(); return;
    case vuzo::ZuNumKeyOp::Copy: copyToClipboard(); return;
    case vuzo::ZuNumKeyOp::ClearSelect: clearSelect(); return;
    case vuzo::ZuNumKeyOp::PreviousField:
        clearSelect();
        if (m_arrowFocusMove)
            moveFocus(zunum::FocusMove::Previous);
        return;
    case vuzo::ZuNumKeyOp::NextField:
        clearSelect();
        if (m_arrowFocusMove)
            moveFocus(zunum::FocusMove::Next);
        return;
    case vuzo::ZuNumKeyOp::Paste: pasteFromClipboard(); return;
    case vuzo::ZuNumKeyOp::Cut: cutToClipboard(); return;
    case vuzo::ZuNumKeyOp::DeleteLast: apply(m_model.deleteLastChar()); return;
    case vuzo::ZuNumKeyOp::Type:
        for (const QChar c : action.chars)
            handleChar(c);
        return;
    case vuzo::ZuNumKeyOp::Pass: e->ignore(); return;
    }
}

void TZuNumEdit::inputMethodEvent(QInputMethodEvent *e)
{
    const QString commit = e->commitString();
    for (const QChar c : commit)
        handleChar(c); // the model reads full-width digits and signs as ASCII
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
