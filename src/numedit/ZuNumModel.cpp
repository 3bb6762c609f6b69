#include "numedit/ZuNumModel.h"

#include "platform/JapaneseText.h"

using namespace Qt::StringLiterals;

namespace zunum {

namespace {

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// "1234567" -> "1,234,567"; no separator in front.
QString GroupThousands(const QString &digits)
{
    QString out;
    out.reserve(digits.size() + digits.size() / 3);
    const qsizetype n = digits.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += u',';
        out += digits.at(i);
    }
    return out;
}

struct SplitNumber
{
    bool negative = false;
    bool hasPoint = false;
    QString integerPart;
    QString decimals;
};

SplitNumber Split(const QString &t)
{
    SplitNumber r;
    QString body = t;
    const qsizetype minusAt = body.indexOf(u'-');
    if (minusAt >= 0) {
        r.negative = true;
        body.remove(minusAt, 1);
    }
    const qsizetype p = body.indexOf(u'.');
    if (p >= 0) {
        r.hasPoint = true;
        r.integerPart = body.left(p);
        r.decimals = body.mid(p + 1);
    } else {
        r.integerPart = body;
    }
    return r;
}

} // namespace

QString FilterText(const QString &s, const NumFormat &f)
{
    // Stage 1: full-width forms to ASCII; a surrogate ends the text, so no
    // half of a pair can survive.
    QString t;
    t.reserve(s.size());
    for (const QChar c : s) {
        const char16_t u = c.unicode();
        if (c.isSurrogate())
            break;
        if (vuzo::IsFullWidthDigit(c))
            t += QChar(vuzo::AsciiOfFullWidth(c));
        else if (u == 0xFF0D)
            t += u'-';
        else if (u == 0xFF0E)
            t += u'.';
        else if (u == 0xFF0C)
            continue;
        else
            t += c;
    }

    // Stage 2: keep the leading run that reads as a number. Positions count in
    // t, skipped commas included, so ",-5" has its minus at position 2.
    QString u;
    u.reserve(t.size());
    bool pointSeen = false;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (IsAsciiDigit(c)) {
            u += c;
        } else if (c == u',') {
            continue;
        } else if (c == u'.') {
            if (f.decimalLength <= 0 || pointSeen)
                break;
            pointSeen = true;
            u += c;
        } else if (c == u'-') {
            if (!f.minus || i > 0)
                break;
            u += c;
        } else {
            break;
        }
    }

    // Stage 3: length limits.
    if (u.isEmpty())
        return u;
    const qsizetype m = u.startsWith(u'-') ? 1 : 0;
    const qsizetype p = u.indexOf(u'.'); // 0-based; -1 when there is none
    const qsizetype decimalLength = qMax(0, f.decimalLength);
    const qsizetype integerLength = qMax(0, f.integerLength);
    if (p >= 0) {
        if (u.size() - p - 1 > decimalLength)
            u.truncate(p + 1 + decimalLength);
        if (p - m > integerLength)
            u.clear();
    } else if (u.size() - m > integerLength) {
        u.truncate(m + integerLength);
    }
    return u;
}

QString NormalizeZeros(const QString &s)
{
    const bool negative = s.startsWith(u'-');
    QString body = negative ? s.mid(1) : s;
    qsizetype zeros = 0;
    while (zeros < body.size() && body.at(zeros) == u'0')
        ++zeros;
    if (zeros > 0) {
        body.remove(0, zeros);
        if (body.isEmpty())
            body = u"0"_s;
    }
    if (body.startsWith(u'.'))
        body.prepend(u'0');
    return negative ? u'-' + body : body;
}

QString FormatValText(const QString &t, const NumFormat &f)
{
    SplitNumber n = Split(t);
    QString integerPart = f.comma ? GroupThousands(n.integerPart) : n.integerPart;
    QString decimals = n.decimals;
    if (f.decimalFixed) {
        const qsizetype len = qMax(0, f.decimalLength);
        decimals = decimals.left(len).leftJustified(len, u'0');
    }
    if (n.hasPoint || f.decimalFixed)
        decimals.prepend(u'.');
    if (f.decimalFixed && integerPart.isEmpty())
        integerPart = u"0"_s;
    QString result = integerPart + decimals;
    if (n.negative)
        result.prepend(u'-');
    if (!result.isEmpty())
        result = f.leftMark + result + f.rightMark;
    return result;
}

QString CanonicalText(const QString &s, const NumFormat &f)
{
    return NormalizeZeros(FilterText(s, f));
}

QString CaretText(const QString &t, const NumFormat &f)
{
    if (!f.decimalFixed) {
        NumFormat noRight = f;
        noRight.rightMark.clear();
        return FormatValText(t, noRight);
    }
    const SplitNumber n = Split(t);
    QString integerPart = f.comma ? GroupThousands(n.integerPart) : n.integerPart;
    if (integerPart.isEmpty())
        integerPart = u"0"_s;
    QString result = f.leftMark;
    if (n.negative)
        result += u'-';
    result += integerPart;
    if (n.hasPoint)
        result += u'.' + n.decimals;
    return result;
}

QChar MapInputMethodChar(QChar c)
{
    const char16_t u = c.unicode();
    if (vuzo::IsFullWidthDigit(c))
        return QChar(vuzo::AsciiOfFullWidth(c));
    if (u == 0xFF0D)
        return QChar(u'-');
    if (u == 0xFF0E)
        return QChar(u'.');
    return c;
}

// --- properties -------------------------------------------------------------

bool ZuNumModel::setIntegerLength(int v)
{
    if (v < 0 || v == m_format.integerLength)
        return false;
    m_format.integerLength = v;
    refilter();
    return true;
}

bool ZuNumModel::setDecimalLength(int v)
{
    if (v < 0 || v == m_format.decimalLength)
        return false;
    m_format.decimalLength = v;
    refilter();
    return true;
}

bool ZuNumModel::setMinus(bool v)
{
    if (v == m_format.minus)
        return false;
    m_format.minus = v;
    refilter();
    return true;
}

bool ZuNumModel::setComma(bool v)
{
    if (v == m_format.comma)
        return false;
    m_format.comma = v;
    reformat();
    return true;
}

bool ZuNumModel::setDecimalFixed(bool v)
{
    if (v == m_format.decimalFixed)
        return false;
    m_format.decimalFixed = v;
    reformat();
    return true;
}

bool ZuNumModel::setLeftMark(const QString &v)
{
    if (v == m_format.leftMark)
        return false;
    m_format.leftMark = v;
    reformat();
    return true;
}

bool ZuNumModel::setRightMark(const QString &v)
{
    if (v == m_format.rightMark)
        return false;
    m_format.rightMark = v;
    reformat();
    return true;
}

bool ZuNumModel::setText(const QString &v)
{
    if (v == m_text)
        return false;
    const QString t = CanonicalText(v, m_format);
    if (t == m_text)
        return false;
    setTextInternal(t);
    return true;
}

// --- selection, undo, clear -------------------------------------------------

void ZuNumModel::selectAll()
{
    m_selLength = int(qMin<qsizetype>(m_valText.size(), INT_MAX));
}

void ZuNumModel::clearSelect()
{
    m_selLength = 0;
}

void ZuNumModel::clearUndo()
{
    m_undoBuffer.clear();
    m_canUndo = false;
}

void ZuNumModel::clear()
{
    saveUndo();
    setTextInternal(QString());
    m_selLength = 0;
    m_modified = false;
}

void ZuNumModel::clearSelection()
{
    if (hasSelection())
        clear();
}

// --- typing -----------------------------------------------------------------

// Typing over a selection first empties the field through clear(), which
// already saved the number as the undo step. The typed character then belongs
// to the same edit, so the undo step is not saved a second time: undo brings
// the number back instead of the momentary empty field.

EditResult ZuNumModel::inputDigit(QChar d, const FitTest &fits)
{
    EditResult r;
    const bool replacing = hasSelection();
    if (replacing)
        clear();
    const qsizetype n = m_text.size();
    const qsizetype p = m_text.indexOf(u'.') + 1; // 1-based; 0 when there is none
    const qsizetype m = m_text.startsWith(u'-') ? 1 : 0;
    const qsizetype i = (p > 0 ? p - 1 : n) - m;
    const qsizetype f = p > 0 ? n - p : 0;
    // With a point, only decimals can be added; without, only integer digits.
    const bool allowed =
        p > 0 ? (m_format.decimalLength > 0 && f < m_format.decimalLength) : i < m_format.integerLength;
    if (!allowed || !IsAsciiDigit(d)) {
        r.beep = true;
        return r;
    }
    const QString candidate = NormalizeZeros(m_text + d);
    if (!fits(candidate)) {
        r.beep = true;
        return r;
    }
    if (!replacing)
        saveUndo();
    setTextInternal(candidate);
    m_modified = true;
    r.changed = true;
    return r;
}

EditResult ZuNumModel::inputPoint(const FitTest &fits)
{
    EditResult r;
    if (m_format.decimalLength <= 0) {
        r.beep = true;
        return r;
    }
    const bool replacing = hasSelection();
    if (replacing)
        clear();
    if (m_text.contains(u'.')) {
        r.beep = true;
        return r;
    }
    // The fit is tested on the text as typed, before "." becomes "0.".
    const QString candidate = m_text + u'.';
    if (!fits(candidate)) {
        r.beep = true;
        return r;
    }
    if (!replacing)
        saveUndo();
    setTextInternal(NormalizeZeros(candidate));
    m_modified = true;
    r.changed = true;
    return r;
}

EditResult ZuNumModel::inputMinus(const FitTest &fits)
{
    EditResult r;
    if (!m_format.minus) {
        r.beep = true;
        return r;
    }
    const bool replacing = hasSelection();
    if (replacing)
        clear();
    QString next;
    if (m_text.startsWith(u'-')) {
        next = m_text.mid(1);
    } else {
        next = u'-' + m_text;
        if (!fits(next)) {
            r.beep = true;
            return r;
        }
    }
    if (!replacing)
        saveUndo();
    setTextInternal(next);
    m_modified = true;
    r.changed = true;
    return r;
}

EditResult ZuNumModel::deleteLastChar()
{
    EditResult r;
    if (m_readOnly || m_text.isEmpty())
        return r;
    if (hasSelection()) {
        clear();
        return r;
    }
    QString shorter = m_text.left(m_text.size() - 1);
    if (shorter.endsWith(u'.'))
        shorter.chop(1);
    saveUndo();
    setTextInternal(shorter);
    m_modified = true;
    r.changed = true;
    return r;
}

EditResult ZuNumModel::inputChar(QChar typed, const FitTest &fits)
{
    EditResult r;
    if (m_readOnly)
        return r;
    // A Japanese input method in full-width mode types ０..９, － and ．; they
    // are the same digits and signs as their ASCII forms, whether they come as
    // key text or as an input-method commit.
    const QChar c = MapInputMethodChar(typed);
    switch (c.unicode()) {
    case 0x01: // Ctrl+A
    case 0x03: // Ctrl+C
    case 0x08: // Backspace
    case 0x16: // Ctrl+V
    case 0x18: // Ctrl+X
        return r;
    case 0x0D:
        if (m_enterFocusMove)
            r.focus = FocusMove::Next;
        else
            r.beep = true;
        return r;
    case u'-': return inputMinus(fits);
    case u'.': return inputPoint(fits);
    default: break;
    }
    if (IsAsciiDigit(c))
        return inputDigit(c, fits);
    r.beep = true;
    return r;
}

// --- clipboard and undo -----------------------------------------------------

QString ZuNumModel::copyText(bool imageCopy) const
{
    if (!hasSelection())
        return QString();
    return imageCopy ? m_valText : m_text;
}

EditResult ZuNumModel::cut(bool imageCopy, QString *clip)
{
    EditResult r;
    if (clip)
        clip->clear();
    if (!hasSelection())
        return r;
    if (clip)
        *clip = copyText(imageCopy);
    clear();
    r.changed = true;
    return r;
}

EditResult ZuNumModel::paste(const QString &t)
{
    EditResult r;
    if (t.isEmpty())
        return r;
    saveUndo();
    const QString source = hasSelection() ? t : m_text + t;
    m_selLength = 0;
    setTextInternal(CanonicalText(source, m_format));
    r.changed = true;
    return r;
}

EditResult ZuNumModel::undo()
{
    EditResult r;
    if (!m_canUndo)
        return r;
    const QString previous = m_text;
    // The undo step was canonical when it was saved; a property changed since
    // (a shorter integer length, no minus) may have narrowed what the field
    // may hold, so it is filtered again on the way back.
    setTextInternal(CanonicalText(m_undoBuffer, m_format));
    m_undoBuffer = previous;
    selectAll();
    r.changed = true;
    return r;
}

bool ZuNumModel::removeLoneMinus()
{
    if (m_text != u"-"_s)
        return false;
    setTextInternal(QString());
    return true;
}

// --- internals --------------------------------------------------------------

void ZuNumModel::saveUndo()
{
    m_undoBuffer = m_text;
    m_canUndo = true;
}

void ZuNumModel::setTextInternal(const QString &t)
{
    m_text = t;
    reformat();
}

void ZuNumModel::reformat()
{
    m_valText = FormatValText(m_text, m_format);
    // The selection is all or nothing: if everything was selected, it still
    // covers the whole (possibly longer or shorter) display text.
    if (m_selLength > 0)
        selectAll();
}

void ZuNumModel::refilter()
{
    setTextInternal(FilterText(m_text, m_format));
}

} // namespace zunum
