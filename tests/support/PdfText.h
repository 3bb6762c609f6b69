#pragma once
// Reads the text of a PDF back with the command-line tools of poppler
// (pdftotext -bbox: word boxes) and MuPDF (mutool draw -F stext: every
// character with its origin on the baseline and its font size). Coordinates
// are PDF points, x to the right and y downward from the page's top-left
// corner.

#include <QList>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>

namespace pdftext {

using namespace Qt::StringLiterals;

struct Char
{
    int page = 0; // from 0
    QString font;
    double size = 0; // points
    double x = 0;    // origin: left end of the character's advance
    double y = 0;    // baseline
    QString c;
};

struct Word
{
    int page = 0;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    QString text;
};

// Runs a tool and returns its standard output; error receives what went wrong.
inline QByteArray run(const QString &program, const QStringList &arguments, QString *error)
{
    QProcess p;
    p.start(program, arguments);
    if (!p.waitForStarted(30000)) {
        *error = program + u" did not start"_s;
        return {};
    }
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        *error = program + u" failed: "_s + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return p.readAllStandardOutput();
}

// Every character of every page, in the order mutool reports them.
inline QList<Char> chars(const QString &pdf, QString *error)
{
    const QByteArray xml = run(u"mutool"_s, {u"draw"_s, u"-q"_s, u"-F"_s, u"stext"_s, u"-o"_s, u"-"_s, pdf}, error);
    QList<Char> out;
    if (xml.isEmpty())
        return out;
    // Glyphs without a meaningful character come out as references to
    // control characters, which XML does not allow; they become U+FFFD.
    static const QRegularExpression control(u"&#x(?:[0-9a-fA-F]|1[0-9a-fA-F]);"_s);
    QString text = QString::fromUtf8(xml);
    text.replace(control, u"&#xfffd;"_s);
    QXmlStreamReader r(text);
    int page = -1;
    QString font;
    double size = 0;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = r.attributes();
        if (r.name() == u"page") {
            ++page;
        } else if (r.name() == u"font") {
            font = a.value(u"name"_s).toString();
            size = a.value(u"size"_s).toDouble();
        } else if (r.name() == u"char") {
            out.append(
                {page, font, size, a.value(u"x"_s).toDouble(), a.value(u"y"_s).toDouble(), a.value(u"c"_s).toString()});
        }
    }
    if (r.hasError())
        *error = u"stext: "_s + r.errorString();
    return out;
}

// The number of pages mutool sees.
inline int pageCount(const QList<Char> &all)
{
    int pages = 0;
    for (const Char &c : all)
        pages = qMax(pages, c.page + 1);
    return pages;
}

inline QString unescapeHtml(QString s)
{
    s.replace(u"&lt;"_s, u"<"_s);
    s.replace(u"&gt;"_s, u">"_s);
    s.replace(u"&quot;"_s, u"\""_s);
    s.replace(u"&apos;"_s, u"'"_s);
    s.replace(u"&#39;"_s, u"'"_s);
    s.replace(u"&amp;"_s, u"&"_s);
    return s;
}

// The word boxes of pdftotext -bbox.
inline QList<Word> words(const QString &pdf, QString *error)
{
    const QString html = QString::fromUtf8(run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s}, error));
    QList<Word> out;
    static const QRegularExpression tag(
        uR"re(<page\b|<word xMin="([-\d.]+)" yMin="([-\d.]+)" xMax="([-\d.]+)" yMax="([-\d.]+)">(.*?)</word>)re"_s);
    int page = -1;
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(u"<page"_s)) {
            ++page;
            continue;
        }
        out.append({page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                    m.captured(4).toDouble(), unescapeHtml(m.captured(5))});
    }
    return out;
}

} // namespace pdftext
