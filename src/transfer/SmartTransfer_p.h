#pragma once
// The steps of the transfer that reads a whole pasted text, shared by its
// files. The text goes through them in this order:
//   SmartLines.cpp    the text as items (lines, quotes, spreadsheet cells,
//                     side-by-side columns) and what each item names: a block
//                     heading, a label, a value
//   SmartFields.cpp   the fields of the items: the block chosen (recipient,
//                     orderer, free text), labelled values, numbers, free lines
//   SmartNames.cpp    the name guess: cleaning a name, whether a text is one,
//                     the evidence that makes one name win over another
//   SmartAddress.cpp  the address: prefecture, street number, building, the
//                     lines of the slip and the dictionary's check
//   SmartLexicon.cpp  the words all of them look for: field labels, block
//                     headings, honorifics, sentence, company and building words
//   SmartTransfer.cpp runs the steps over the levels of quotation
// Everything here works on single values; nothing keeps state between calls.

#include "transfer/PhoneNumbers.h"
#include "transfer/SmartTransfer.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <cstddef>
#include <memory>
#include <span>

namespace transfer::smart {

// ---------------------------------------------------------------- lexicon

// The block a line belongs to: the person who ordered, the one who receives,
// or a block without the customer's address (order contents, the shop).
enum class Role : quint8
{
    None,
    Orderer,
    Recipient,
    Other
};

// What a field label names.
enum class Label : quint8
{
    None,
    Name,
    Family,
    Given,
    Kana,
    Zip,
    Pref,
    Address,
    Building,
    Tel,
    Fax,
    Company,
    Dept,
    Drop,
};

// A label of the customer's data (not a reading, a fax number or a line to drop).
bool isDataLabel(Label l);

struct LabelMatch
{
    Label label = Label::None;
    qsizetype valueStart = 0;
    bool matched = false;
};

// A label at position p of key: the label word, an optional qualifier in
// brackets ("お名前(フリガナ)", "電話(携帯)"), then a separator, the end of the
// line, or digits for a number label.
LabelMatch labelAt(QStringView key, qsizetype p);
// The role word a text begins with (after decorations), its length, or None.
Role roleWordAt(QStringView key, qsizetype &length);
// Is text (decorations stripped) nothing but a heading word with a usual tail?
bool isHeadingRest(QStringView rest);
// Whether key, from start, is the heading of a block that holds no address of
// the customer ("ご注文内容", "ショップ情報").
bool isOtherHeading(QStringView key, qsizetype start);
// A separator between a label and its value.
bool isValueSeparator(QChar c);
// A value that only refers to another block: "同上", "ご注文者住所と同じ".
bool isSameAs(QStringView key);
// The line that starts a forwarded or quoted mail.
bool isForwardMarker(QStringView key);

// Blanks, bullets, brackets and rules around a line's words.
bool isDecoration(QChar c);
qsizetype skipDecoration(QStringView s, qsizetype p);
QString stripDecoration(QStringView s);
// Does text carry something besides blanks, brackets and separators?
bool hasContent(QStringView s);
// Lower-cased ASCII over the folded form, for label words.
QString keyOf(const QString &folded);

// A sentence or a greeting: such a line is never a name.
bool isSentence(QStringView fold);
bool hasSentenceWord(QStringView text);
// A word of a shop's signature block.
bool hasSignatureWord(QStringView text);
// A correction: "訂正", "正しくは".
bool hasCorrectionWord(QStringView text);
// A word that never stands in a person's name.
bool hasNotNameWord(QStringView text);
// A building word: a line or the rest of a line holding one is line 2.
bool hasBuildingWord(QStringView text);
// A building word in katakana ("アパート", "コーポ"): no part of a person's
// name, unlike the kanji ones (荘 and 室 stand in 荘司 and 室井).
bool hasKatakanaBuildingWord(QStringView text);
// A word of a company, an office or a department.
bool isCompanyLike(QStringView fold);
// The last word of a department or an office: "部", "課", "センター".
bool endsWithDepartmentWord(QStringView fold);
// The honorifics after a name, in the order they are tried.
std::span<const QStringView> honorifics();

// ---------------------------------------------------------------- lines

struct Item
{
    QString raw;  // the line as written, trimmed, quote marks removed
    QString fold; // FoldForNumbers(raw)
    QString key;  // keyOf(fold)
    int quote = 0;
    Role forced = Role::None;
    bool cell = false;
    bool blank = false;
    bool separator = false;
};

struct Parsed
{
    Role role = Role::None; // role the line itself names, None if none
    bool heading = false;   // a heading line: sets the block for the following lines
    bool otherHeading = false;
    Label label = Label::None;
    qsizetype valueStart = 0; // where the value begins in raw
    bool sameAs = false;
};

Item makeItem(const QString &raw, int quote);
// The items of a pasted text: at most kSmartMaxLines of them, each line cut
// at kSmartMaxLineLength.
QList<Item> itemsOf(const QString &text);
// What a line names: a block, a label and where its value begins.
Parsed parse(const Item &it);
// A block of lines that is a shop's signature, not the customer's data.
bool isSignatureBlock(const QList<const Item *> &block);

// ---------------------------------------------------------------- names

// The kinds of evidence that a text is the recipient's name, and how much each
// weighs. Of the names offered, the one with the heaviest evidence wins; the
// first of equal weight stays.
//
// A label says outright which text is the name, and a sentence that says
// "名前は" nearly as much. A name on the line of the address is the
// recipient's more surely than one elsewhere: after the street number most of
// all, then before the prefecture, after a city in a sentence, or beside a
// telephone number with an honorific. On a line of its own an honorific marks
// a name written to someone (a salutation, the person of a company); a
// spreadsheet cell or a person after a company without one is weaker; a bare
// line or a name beside a number weaker still. A writer introducing
// themselves ("…です", "…と申します") is often not the recipient, so that
// comes last.
//
// Two kinds adjust the weight of the others: a name offered once the postal
// code or the address has been read belongs to them more surely than a
// salutation above them, so it gains BelowAddress (a labelled name needs
// nothing more); a reading in kana alone loses ReadingOnly, so a written name
// of the same kind wins over it.
//
// The same weights decide what is taken from elsewhere: a block without a
// name takes the salutation above it only when that weighs at least
// WithHonorific, and a later correction's name replaces the name only when it
// weighs at least OwnLine.
enum class NameEvidence : quint8
{
    Labelled,                 // "お名前：山田太郎"
    NamedInSentence,          // "名前は山田太郎です"
    AfterAddress,             // "東京都…1-2-3 山田太郎様"
    BeforeAddress,            // "山田太郎 東京都…"
    AfterCityInSentence,      // "…京都市北区架空町1 の 金田です"
    BesideTelWithHonorific,   // "連絡先：山田太郎様 090-…"
    WithHonorific,            // "山田太郎 様", "架空商事 総務部 山田様"
    Cell,                     // a spreadsheet cell
    AfterCompany,             // "架空商事 総務部 山田太郎"
    OwnLine,                  // "山田太郎"
    BesideTel,                // "連絡先：山田太郎 090-…"
    IntroducedWithDesu,       // "山田恵子です。"
    IntroducedWithMoushimasu, // "山田と申します"
    BelowAddress,             // added: offered after the postal code or the address
    ReadingOnly,              // added: a reading in kana alone
};

struct NameEvidenceWeight
{
    NameEvidence evidence;
    int weight;
};

inline constexpr NameEvidenceWeight kNameEvidenceWeights[] = {
    {NameEvidence::Labelled, 100},
    {NameEvidence::NamedInSentence, 90},
    {NameEvidence::AfterAddress, 60},
    {NameEvidence::BeforeAddress, 50},
    {NameEvidence::AfterCityInSentence, 50},
    {NameEvidence::BesideTelWithHonorific, 50},
    {NameEvidence::WithHonorific, 46},
    {NameEvidence::Cell, 45},
    {NameEvidence::AfterCompany, 45},
    {NameEvidence::OwnLine, 40},
    {NameEvidence::BesideTel, 40},
    {NameEvidence::IntroducedWithDesu, 35},
    {NameEvidence::IntroducedWithMoushimasu, 30},
    {NameEvidence::BelowAddress, 15},
    {NameEvidence::ReadingOnly, -30},
};

constexpr int nameWeight(NameEvidence e)
{
    return kNameEvidenceWeights[std::size_t(e)].weight;
}

// The score of no name at all: below every evidence, so any name is taken.
inline constexpr int kNoNameScore = -1;

static_assert([] {
    for (std::size_t i = 0; i < std::size(kNameEvidenceWeights); ++i) {
        if (std::size_t(kNameEvidenceWeights[i].evidence) != i)
            return false;
    }
    return std::size(kNameEvidenceWeights) == std::size_t(NameEvidence::ReadingOnly) + 1;
}());

struct Name
{
    QString text;
    int score = kNoNameScore;
};

struct Fields;

// Removes emoji, symbols, lone surrogates and control characters; keeps
// characters outside the BMP that are kanji (𠮷).
QString withoutEmoji(QStringView s);
bool hasKanji(QStringView s);
bool hasHonorific(QStringView s);
// One space between the parts of a name: U+3000 between Japanese parts, a
// blank between Latin ones.
QString joinNameParts(const QStringList &parts);
// The name without emoji, reading, brackets, honorific and titles.
QString cleanName(const QString &raw);
bool isNameLike(const QString &name);
// Offers a cleaned name on the evidence given; it replaces the name so far
// when its weight is greater, or when a correction unlocked the fields.
void offerName(Fields &f, const QString &cleaned, NameEvidence evidence);
// An address at the start of a text that goes on with a name after a blank and
// an honorific: "東京都港区芝1-2-3 山田太郎様".
void splitTrailingName(const QString &text, QString &address, QString &name);

// ---------------------------------------------------------------- fields

struct Fields
{
    QString zip;           // NNN-NNNN
    QString tel;           // formatted
    QStringList address;   // address pieces in order (prefecture first)
    QStringList buildings; // building and room pieces
    QStringList company;   // company and department
    QString careOf;
    Name name;
    QString family, given;
    bool sameAs = false;
    bool runOpen = false; // the last content line added to the address
    bool addressClosed = false;
    bool unlock = false; // a correction: the next values replace the earlier ones
    bool others = false; // the text holds further customers after the one taken
    // The orderer's block of a gift when the recipient's block was taken.
    std::shared_ptr<const Fields> orderer;

    bool hasAddress() const { return !zip.isEmpty() || !address.isEmpty(); }
    bool empty() const
    {
        return zip.isEmpty() && tel.isEmpty() && address.isEmpty() && buildings.isEmpty() && name.text.isEmpty() &&
               family.isEmpty() && given.isEmpty() && company.isEmpty() && careOf.isEmpty();
    }
};

// The fields of one quote level: the recipient's block when there is one, the
// orderer's when the recipient is "同上" or absent, else the free text.
Fields fieldsOf(const QList<const Item *> &lines);
// What later lines change in the fields: a corrected number ("202じゃなくて
// 203"), a room number given again, a building written after the rest, a
// number to call in the daytime.
void applyFollowUps(Fields &f, const QList<const Item *> &lines);

// ---------------------------------------------------------------- address

// A prefecture name at the start of s, or one character in.
bool startsWithPrefecture(QStringView s);
// The position of the first prefecture name in s, or -1.
qsizetype prefectureIndex(QStringView s);
bool hasStreetNumber(QStringView fold);
// A municipality word (市 区 町 村 郡) near the start of the text.
bool hasMunicipality(QStringView fold);
bool isAddressLike(QStringView fold);
bool isBuildingLike(QStringView fold);
// Where a city name followed by a street number begins in a sentence, or -1.
qsizetype cityStart(QStringView fold);
// Splits a joined address at the end of its street number: "…1-2-3架空ビル5F"
// gives "…1-2-3" and "架空ビル5F".
void splitAtStreetNumber(const QString &address, QString &line1, QString &line2);
// Where the address at the start of a line ends once it has its street
// number: at a tab, a run of blanks, a price, a closing phrase or a label
// ("…1-2-3　　りんご 2箱", "…1-2-3 ¥3,980", "…1-2-3 よろしく…"). The length
// of text when nothing follows it.
qsizetype addressEnd(QStringView text);
// The three address lines of the result from the fields.
void fillAddress(SmartTransferResult &r, const Fields &f);
// Completes the postal code or the address from the dictionary, or warns
// when they disagree. postal may be null.
void applyDictionary(SmartTransferResult &r, const PostalLookup *postal);

} // namespace transfer::smart
