#pragma once
// The slip as the settings file keeps it, apart from any window: the delivery
// address, the sender, the ten sales lines, the tax rates and their
// enforcement date, and the settings the slip and its window depend on.
//
// Every stored value has one row in the key table (SlipRecord.cpp): its key,
// its default, the limit a hand-edited file is held to and the number format
// its field shows it in. Reading a record gives each value as the window's
// field would show it after start-up (a postal code half width, a quantity in
// the field's number format); writing one gives the keys in the order the
// program has always written them, so a new file reads as it always did.
//
//     const ProfileFile ini(dir + u"/vuzo_Vez_1.ini"_s);
//     session::SlipRecord record = session::ReadSlipRecord(ini);
//     ...
//     ProfileFile::Batch batch(out);
//     session::WriteSlipRecord(record, out, session::SlipKeys::All);
//     batch.commit();

#include "numedit/ZuNumModel.h"

#include <QDate>
#include <QDateTime>
#include <QMap>
#include <QString>
#include <QStringList>
#include <array>

class ProfileFile;

namespace session {

// The section of vuzo_Vez_1.ini that holds the slip.
QString SlipSection();
// The settings file's name in the data folder.
QString SettingsFileName();

// Rows of the sales-line table.
inline constexpr int kLineRows = 10;

// The number formats of the slip's numeric fields: the line quantities, unit
// prices, amounts and the totals (9 integer digits, no decimals), and the tax
// rates (4 integer digits, 1 decimal, "%" after the number).
zunum::NumFormat LineNumberFormat();
zunum::NumFormat TaxRateFormat();

// One sales line as its six fields hold their texts.
struct SlipLine
{
    QString itemNo; // the first name line (disabled in the window)
    QString item;   // the second name line, the one printed
    QString qty;
    QString unit;
    QString price;
    QString sales;
    int taxClass = 0; // 0 standard rate, 1 reduced rate (food and drink)

    bool operator==(const SlipLine &) const = default;
};

struct SlipRecord
{
    // The delivery address (お届け先).
    QString zip, add1, add2, add3, custo1, tel;
    // The sender (ご依頼人) as the settings keep it.
    QString myName, myZip, myAdd1, myAdd2, myTel;
    // The sales lines, row 1 first.
    std::array<SlipLine, kLineRows> lines;

    // The tax rates in per cent as their fields show them, and the day the
    // new one took effect.
    QString taxOld, taxNew;
    QDate taxEnforDate;
    // The reduced rate in per cent and its first day; a reduced line on a
    // slip dated earlier takes the standard rate in force.
    QString taxReduced;
    QDate taxReducedDate;
    // The unit prices and line amounts include the tax (内税).
    bool pricesIncludeTax = false;
    // The seller's invoice registration number, 「T」 and 13 digits, or empty
    // for a seller who is not registered; whether the invoice sheet is
    // printed with every slip.
    QString invoiceRegNo;
    bool invoiceWithSlip = false;

    // Values the file does not keep: the day of the slip (the caller sets
    // it; today in the window), the rounding code a fresh window starts with
    // and the slip number.
    QDate slipDate;
    QString rounding;
    QString slipNo;

    // The settings the slip's print depends on: the paper feed (the index of
    // its list, whose text names the section of vuzo_a500.ini) and the paper
    // kind of the job title.
    int feedIndex = 0;
    int paperIndex = 0;

    // The other settings of the window, kept with the slip.
    int senderTab = 0; // 0..9, -1 when none is selected
    int addressFont = 1;
    int senderFont = 0;
    int fontSize = 10;
    QString fontName;
    std::array<QString, 7> extraLines;   // E_G1 .. E_G6 at [1] .. [6]
    std::array<QString, 10> remarks;     // E_Rm1 .. E_Rm9 at [1] .. [9]
    std::array<QString, 6> documentHead; // E_021_0 .. E_021_5
    QString kosuu;
    int imeItemNo = 0, imeItem = 0, imeUnit = 0;
    bool newPage = false;
    int transferMode = 1; // 0 従来方式, 1 自動判別

    // Every value the same (a slip kept in the history against the one
    // printed).
    bool operator==(const SlipRecord &) const = default;
};

// Which keys a write covers.
enum class SlipKeys
{
    Lines,      // the seventy sales-line keys (six fields and the rate class of ten rows)
    Settings,   // every other stored key, in the order of the shut-down
    InputModes, // the three input-method choices of the line fields
    All,        // the sales lines, then the settings
};

// A record with every value at its default, as a missing file gives it.
SlipRecord DefaultSlipRecord();

// The record a settings file holds; a missing or unreadable file, section or
// key gives the key's default, a value outside its limit the default too.
// slipDate stays invalid: the caller decides the day of the slip.
SlipRecord ReadSlipRecord(const ProfileFile &ini);

// Writes the record's keys of one group into the file (or the caller's open
// batch) in their stored order. Throws what ProfileFile's writes throw.
void WriteSlipRecord(const SlipRecord &record, ProfileFile &ini, SlipKeys keys);

// The names of the keys a group writes, in the order they are written (for
// the tests and for tools that list the file).
QStringList SlipKeyNames(SlipKeys keys);

// The texts a file holds under the keys a group writes, by key name (empty
// for a missing key): what a later save compares the file with, to see
// whether another program (an editor, a second start through another path)
// changed a key since.
using SlipKeyTexts = QMap<QString, QString>;
SlipKeyTexts ReadSlipKeyTexts(const ProfileFile &ini, SlipKeys keys);

// What a save that watches for another program's changes came to.
struct SlipSave
{
    QString path;            // the settings file
    QStringList changedKeys; // the keys whose text on disk was not the one read
    QString copyPath;        // where the file as found was kept, when a key changed
    QString copyError;       // why it could not be kept, when it could not
};

// Writes the record's keys of the group into the file at path in one
// replacement. First the file is read again and the group's texts compared
// with asRead (as read at start or at the last save): when any differs, the
// file as found is kept beside it as a dated copy (KeepDatedCopy, named after
// now) before the save replaces those keys. asRead then holds the group's
// texts as saved. Throws what ProfileFile's writes throw.
SlipSave SaveSlipRecord(const SlipRecord &record, const QString &path, SlipKeys keys, SlipKeyTexts &asRead,
                        const QDateTime &now);

// The operator's message for a save that found changed keys: the file, at
// most eight of the keys (and how many more), and the copy kept; empty when
// no key changed.
QString ChangedKeysMessage(const SlipSave &save);

} // namespace session
