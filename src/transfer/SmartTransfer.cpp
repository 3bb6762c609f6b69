#include "transfer/SmartTransfer.h"

#include "platform/JapaneseText.h"
#include "transfer/SmartTransfer_p.h"

#include <QRegularExpression>
#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace transfer {

PostalLookup::~PostalLookup() = default;

namespace {
SmartTransferResult resultOf(const smart::Fields &f, const PostalLookup *postal);

// A family name alone (「お名前：田村」) whose full name the text gives
// elsewhere with an honorific (「田村 浩二様へのプレゼントです」): the full
// name, written as the fields write a name of two parts.
QString fullNameInText(const QString &name, const QString &text)
{
    if (name.isEmpty() || name.size() > 4 || name.contains(u' ') || name.contains(QChar(vuzo::kIdeographicSpace)))
        return name;
    static const QRegularExpression given(
        uR"(^[ 　]?(?!様|さま|さん|宛|殿|御中)([\p{Han}\p{Hiragana}\p{Katakana}ー々]{1,4}?)[ 　]?(?:様|さま|さん|宛|あて))"_s);
    for (qsizetype at = text.indexOf(name); at >= 0; at = text.indexOf(name, at + 1)) {
        const QRegularExpressionMatch m = given.match(QStringView(text).mid(at + name.size(), 12));
        if (m.hasMatch())
            return smart::joinNameParts({name, m.captured(1)});
    }
    return name;
}
} // namespace

// The steps, in order: the text as items, the items of each quote level as
// fields, the fields as the slip's lines, then the dictionary's check.
SmartTransferResult SmartTransfer(const QString &text, const PostalLookup *postal)
{
    using namespace smart;
    SmartTransferResult r;
    const QList<Item> items = itemsOf(text);

    // The writer's own lines, then each level of quotation: a reply's own
    // lines win over the mail it quotes, and that over the one it quotes.
    constexpr int kQuoteLevels = 4;
    std::array<QList<const Item *>, kQuoteLevels> levels;
    bool anyContent = false;
    for (const Item &it : items) {
        levels[std::min(it.quote, kQuoteLevels - 1)] << &it;
        if (!anyContent && !it.blank && !it.separator) {
            // A line of mail or web addresses alone is nothing to transfer.
            for (const QString &token : it.key.split(u' ', Qt::SkipEmptyParts)) {
                if (!token.contains(u'@') && !token.contains(u"http") && !token.contains(u"www.") && hasContent(token))
                    anyContent = true;
            }
        }
    }
    if (!anyContent) {
        r.noText = true;
        return r;
    }

    Fields f = fieldsOf(levels[0]);
    int taken = 0;
    for (int level = 1; level < kQuoteLevels && !f.hasAddress(); ++level) {
        if (levels[level].isEmpty())
            continue;
        const Fields q = fieldsOf(levels[level]);
        if (q.hasAddress() || f.empty()) {
            f = q;
            taken = level;
        }
    }
    // The writer's own lines correct the mail they quote.
    applyFollowUps(f, levels[taken]);
    if (taken > 0)
        applyFollowUps(f, levels[0]);
    // A reply that gives the address but not the number the quoted mail
    // holds for the same customer.
    for (int level = taken + 1; level < kQuoteLevels && f.tel.isEmpty() && f.hasAddress(); ++level) {
        if (levels[level].isEmpty())
            continue;
        const Fields q = fieldsOf(levels[level]);
        if (!q.tel.isEmpty() &&
            ((!q.zip.isEmpty() && q.zip == f.zip) || (!q.name.text.isEmpty() && q.name.text == f.name.text)))
            f.tel = q.tel;
    }
    r = resultOf(f, postal);
    r.custo1 = fullNameInText(r.custo1, text);
    if (f.orderer) {
        const SmartTransferResult o = resultOf(*f.orderer, postal);
        r.orderer = {o.zip, o.tel, o.add1, o.add2, o.add3, o.custo1};
    }
    return r;
}

namespace {

// The slip's six fields, the notes and the dictionary's check from the
// fields of one person.
SmartTransferResult resultOf(const smart::Fields &f, const PostalLookup *postal)
{
    using namespace smart;
    SmartTransferResult r;
    r.zip = f.zip;
    r.tel = f.tel;
    if (f.others)
        r.guidance = QString::fromUtf16(kSeveralCustomersGuidance);
    fillAddress(r, f);
    if (!f.family.isEmpty() || !f.given.isEmpty()) {
        QStringList parts;
        for (const QString &p : {f.family, f.given}) {
            if (!p.isEmpty())
                parts << p;
        }
        r.custo1 = joinNameParts(parts);
    } else {
        r.custo1 = f.name.text;
    }
    // A company without a named person is the addressee itself.
    if (r.custo1.isEmpty() && !f.company.isEmpty()) {
        const QString company = f.company.join(QChar(vuzo::kIdeographicSpace));
        r.custo1 = company;
        if (r.add3 == company)
            r.add3.clear();
        else if (r.add2 == company)
            r.add2.clear();
    }
    applyDictionary(r, postal);
    if (r.custo1.size() > kNameFieldLength) {
        const QString rest = r.custo1.mid(kNameFieldLength);
        r.custo1.truncate(kNameFieldLength);
        r.add3 = r.add3.isEmpty() ? rest : r.add3 + QChar(vuzo::kIdeographicSpace) + rest;
        const QString note = u"お名前が長いため、続きをおところ③に入れました"_s;
        r.warning = r.warning.isEmpty() ? note : r.warning + u"　"_s + note;
    }
    return r;
}

} // namespace

} // namespace transfer
