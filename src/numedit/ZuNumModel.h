#pragma once
// The value and editing model behind the numeric edit field TZuNumEdit.
//
// The field keeps its number as a canonical numeric text (optional leading "-",
// digits, at most one ".", no separators, no marks) and shows it as a display
// text with thousands separators, optional fixed decimals and marks. Editing
// always happens at the end of the number and the selection is all or nothing,
// so the whole editing state is the text, one undo step, the modified flag and
// whether everything is selected. Nothing here needs a window: the widget
// supplies the one thing that does (whether a candidate text fits the field)
// as a callback and acts on the result of each operation (beep, change event,
// focus movement).

#include <QChar>
#include <QString>

#include <climits>
#include <functional>

namespace zunum {

// The properties that decide what a canonical text may hold and how it shows.
struct NumFormat
{
    int integerLength = 9;     // maximum number of integer digits
    int decimalLength = 3;     // maximum number of decimals; 0 forbids a point
    bool minus = true;         // a minus sign is allowed
    bool comma = true;         // thousands separators in the display text
    bool decimalFixed = false; // the display always shows exactly decimalLength decimals
    QString leftMark;          // shown before a non-empty display text
    QString rightMark;         // shown after a non-empty display text

    friend bool operator==(const NumFormat &, const NumFormat &) = default;
};

// Keeps the leading run of s that reads as a number under f. Full-width
// digits, minus and full stop count as their ASCII forms, commas (half and
// full width) are skipped, a surrogate ends the reading. Excess decimals are
// cut; excess integer digits are cut when there is no point and empty the
// whole text when there is one. The result has no leading-zero normalisation.
QString FilterText(const QString &s, const NumFormat &f);

// Drops leading zeros of the integer part, keeping a single "0" standing alone
// or before the point, and puts "0" in front of a leading point:
// "007" -> "7", "000" -> "0", ".5" -> "0.5", "-00.5" -> "-0.5". A lone "-" and
// the empty text stay as they are.
QString NormalizeZeros(const QString &s);

// The display text of a canonical text t under f: separators, fixed decimals,
// minus sign, and the marks around a non-empty result.
QString FormatValText(const QString &t, const NumFormat &f);

// FilterText then NormalizeZeros: what writing the field's text keeps.
QString CanonicalText(const QString &s, const NumFormat &f);

// The part of the display text of t that stands before the caret. Without
// fixed decimals this is the display text without the right mark; with fixed
// decimals it is the integer part formatted alone (left mark, minus sign,
// separators; an empty integer part shows as "0") followed by the typed point
// and decimals, so the caret stands before the zeros that only fill the
// fixed decimals.
QString CaretText(const QString &t, const NumFormat &f);

// Characters from an input method: full-width digits, minus and full stop
// arrive as their ASCII forms; every other character is returned unchanged.
QChar MapInputMethodChar(QChar c);

// Whether a candidate canonical text fits the field's available width.
using FitTest = std::function<bool(const QString &candidate)>;

enum class FocusMove
{
    None,
    Next,
    Previous
};

// What the widget has to do after an operation. The model has already updated
// its own state; the widget repaints and places its caret after every
// operation regardless.
struct EditResult
{
    bool beep = false;    // the input was refused (sounds only if the field's ErrorBeep is on)
    bool changed = false; // the change event must be raised
    FocusMove focus = FocusMove::None;
};

class ZuNumModel
{
public:
    ZuNumModel() = default;

    // Properties. Setters ignore negative lengths and values equal to the
    // current one, and return whether anything changed. The two lengths and
    // the minus permission refilter the text (without zero normalisation);
    // every setter reformats the display text. None of them touches the
    // modified flag, the undo buffer or raises a change event.
    const NumFormat &format() const { return m_format; }
    bool setIntegerLength(int v);
    bool setDecimalLength(int v);
    bool setMinus(bool v);
    bool setComma(bool v);
    bool setDecimalFixed(bool v);
    bool setLeftMark(const QString &v);
    bool setRightMark(const QString &v);
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool v) { m_readOnly = v; }
    bool enterFocusMove() const { return m_enterFocusMove; }
    void setEnterFocusMove(bool v) { m_enterFocusMove = v; }

    // The canonical text and its display text.
    QString text() const { return m_text; }
    QString valText() const { return m_valText; }
    // Keeps CanonicalText(v); does nothing when v equals the current text.
    // No change event, the modified flag and the undo buffer stay. Returns
    // whether the text changed.
    bool setText(const QString &v);

    // Selection: nothing, or the whole display text.
    bool hasSelection() const { return m_selLength > 0; }
    int selStart() const { return 0; }
    int selLength() const { return m_selLength; }
    void selectAll();
    void clearSelect();

    bool isModified() const { return m_modified; }
    void setModified(bool v) { m_modified = v; }
    bool canUndo() const { return m_canUndo; }
    QString undoBuffer() const { return m_undoBuffer; }
    void clearUndo();

    // Empties the field (saving the undo step), drops the selection and clears
    // the modified flag. No change event.
    void clear();
    // clear() if something is selected.
    void clearSelection();

    // Typing, one character at a time.
    EditResult inputDigit(QChar d, const FitTest &fits);
    EditResult inputPoint(const FitTest &fits);
    EditResult inputMinus(const FitTest &fits);
    // Backspace and Delete: removes the last character (and a point left at
    // the end); on a selected field empties it like clear().
    EditResult deleteLastChar();
    // A typed character as the key-press and input-method handling see it:
    // digits, point, minus (their full-width forms too, see
    // MapInputMethodChar), Enter (focus movement or a refusal), the control
    // characters of keys that were handled already, and everything else
    // refused.
    EditResult inputChar(QChar c, const FitTest &fits);

    // Clipboard. copyText() is the text copy and cut put on the clipboard, or
    // an empty text when nothing is selected (then nothing is copied).
    QString copyText(bool imageCopy) const;
    // Cut: returns the text for the clipboard in *clip (empty when nothing is
    // selected, and then nothing happens).
    EditResult cut(bool imageCopy, QString *clip);
    // Paste of clipboard text t (nothing happens for an empty t). No fit test.
    EditResult paste(const QString &t);
    // Swaps the text with the undo buffer and selects all; a second undo redoes.
    EditResult undo();

    // On focus loss: a lone "-" becomes the empty text, without a change
    // event. Returns whether the text changed.
    bool removeLoneMinus();

private:
    void saveUndo();
    void setTextInternal(const QString &t);
    void reformat();
    void refilter();

    NumFormat m_format;
    QString m_text;
    QString m_valText;
    QString m_undoBuffer;
    int m_selLength = 0;
    bool m_canUndo = false;
    bool m_modified = false;
    bool m_readOnly = false;
    bool m_enterFocusMove = false;
};

} // namespace zunum
