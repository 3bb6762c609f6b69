#include "session/SlipRecord.h"

#include "platform/ProgramFiles.h"
#include "settings/DurableFile.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"
#include "slip/SlipTax.h"
#include "transfer/Cleanup.h"

#include <algorithm>
#include <functional>
#include <variant>
#include <vector>

using namespace Qt::StringLiterals;

namespace session {

QString SlipSection()
{
    return u"vz_Vez_1prn"_s;
}

QString SettingsFileName()
{
    return vuzo::SettingsFileName();
}

zunum::NumFormat LineNumberFormat()
{
    zunum::NumFormat f;
    f.integerLength = 9;
    f.decimalLength = 0;
    return f;
}

zunum::NumFormat TaxRateFormat()
{
    zunum::NumFormat f;
    f.integerLength = 4;
    f.decimalLength = 1;
    f.rightMark = u"%"_s;
    return f;
}

namespace {

// What a value goes through when it is read, so the record holds what the
// window's field shows after start-up. A limit gives the key's default for a
// value a hand-edited or damaged file may hold but nobody can have meant.
enum class Rule
{
    None,
    HalfWidth,    // the postal code and telephone fields turn their text half width
    LineNumber,   // a quantity, unit price or amount in LineNumberFormat
    TaxRate,      // a rate between 0 and 100 per cent, in TaxRateFormat
    TaxDate,      // a date in the years 1900 to 2099
    SenderTab,    // a sender number 0 to 9; anything else selects none (-1)
    TransferMode, // 0 is 従来方式; any other value, a missing key included, 自動判別
    ZeroOrOne,    // 1 is 1; any other value, a missing key included, 0
    RegNo,        // an invoice registration number, or empty
};

// Where a key's value lives in the record. The accessor is one generic lambda
// kept twice, for a record to fill and for a record to write.
template <typename T> struct Ref
{
    std::function<T &(SlipRecord &)> set;
    std::function<const T &(const SlipRecord &)> get;
};
template <typename T, typename F> Ref<T> ref(F f)
{
    return {f, f};
}

// A flag is kept as "0" or "1" text.
struct Flag
{
    Ref<bool> ref;
};

struct Key
{
    QString name;     // the key as written
    QString readName; // the key as read (one key has always been read under another spelling)
    SlipKeys group;   // Lines or Settings
    bool inputMode;   // one of the three input-method choices
    Rule rule;
    QString def; // the default, as the file would hold it
    std::variant<Ref<QString>, Ref<int>, Ref<QDate>, Flag> where;
};

QDate dateOf(const QString &text)
{
    return QDate::fromString(text, u"yyyy/MM/dd"_s);
}

// The one table of the slip's keys, in the order they are written: the sales
// lines (six columns of ten rows), then the settings in the order of the
// shut-down. A new key is one row here.
const std::vector<Key> &Keys()
{
    static const std::vector<Key> keys = [] {
        std::vector<Key> k;
        auto text = [&](const QString &name, Rule rule, const QString &def, Ref<QString> r) {
            k.push_back({name, name, SlipKeys::Settings, false, rule, def, std::move(r)});
        };
        auto number = [&](const QString &name, Rule rule, int def, Ref<int> r, bool inputMode = false) {
            k.push_back({name, name, SlipKeys::Settings, inputMode, rule, QString::number(def), std::move(r)});
        };

        using Column = QString SlipLine::*;
        const std::pair<QString, std::pair<Column, Rule>> columns[] = {
            {u"Edit_ITEMNO"_s, {&SlipLine::itemNo, Rule::None}},
            {u"Edit_ITEM"_s, {&SlipLine::item, Rule::None}},
            {u"Edit_QTY"_s, {&SlipLine::qty, Rule::LineNumber}},
            {u"Edit_Unit"_s, {&SlipLine::unit, Rule::None}},
            {u"Edit_Price"_s, {&SlipLine::price, Rule::LineNumber}},
            {u"Edit_Sales"_s, {&SlipLine::sales, Rule::LineNumber}},
        };
        for (const auto &[prefix, column] : columns) {
            for (int n = 1; n <= kLineRows; ++n) {
                const Column member = column.first;
                const QString name = prefix + QString::number(n);
                k.push_back({name, name, SlipKeys::Lines, false, column.second, QString(),
                             ref<QString>([ member, n ](auto &r) -> auto & { return r.lines[n - 1].*member; })});
            }
        }
        for (int n = 1; n <= kLineRows; ++n) {
            const QString name = u"TaxClass"_s + QString::number(n);
            k.push_back({name, name, SlipKeys::Lines, false, Rule::ZeroOrOne, u"0"_s,
                         ref<int>([n](auto &r) -> auto & { return r.lines[n - 1].taxClass; })});
        }

        text(u"TaxOld"_s, Rule::TaxRate, u"8"_s, ref<QString>([](auto &r) -> auto & { return r.taxOld; }));
        k.push_back({u"TaxEnforDate"_s, u"TaxEnforDate"_s, SlipKeys::Settings, false, Rule::TaxDate, u"2019/10/01"_s,
                     ref<QDate>([](auto &r) -> auto & { return r.taxEnforDate; })});
        text(u"TaxNew"_s, Rule::TaxRate, u"10"_s, ref<QString>([](auto &r) -> auto & { return r.taxNew; }));
        number(u"Addr_Font"_s, Rule::None, 1, ref<int>([](auto &r) -> auto & { return r.addressFont; }));
        number(u"Addr_FontMy"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.senderFont; }));
        number(u"G13_FontSize"_s, Rule::None, 10, ref<int>([](auto &r) -> auto & { return r.fontSize; }));
        text(u"G16_FontName"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.fontName; }));
        text(u"E_ZIP"_s, Rule::HalfWidth, {}, ref<QString>([](auto &r) -> auto & { return r.zip; }));
        text(u"E_AD1"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.add1; }));
        text(u"E_AD2"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.add2; }));
        text(u"E_AD3"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.add3; }));
        text(u"E_CUS"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.custo1; }));
        text(u"E_TEL"_s, Rule::HalfWidth, {}, ref<QString>([](auto &r) -> auto & { return r.tel; }));
        for (int n = 1; n <= 6; ++n)
            text(u"E_G"_s + QString::number(n), Rule::None, {},
                 ref<QString>([n](auto &r) -> auto & { return r.extraLines[n]; }));
        for (int n = 1; n <= 9; ++n)
            text(u"E_Rm"_s + QString::number(n), Rule::None, {},
                 ref<QString>([n](auto &r) -> auto & { return r.remarks[n]; }));
        for (int n = 0; n <= 5; ++n)
            text(u"E_021_"_s + QString::number(n), Rule::None, n == 0 ? u"納品書　兼　請求書"_s : QString(),
                 ref<QString>([n](auto &r) -> auto & { return r.documentHead[n]; }));
        text(u"KOSUU"_s, Rule::None, u"1"_s, ref<QString>([](auto &r) -> auto & { return r.kosuu; }));
        text(u"OP023My"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.myName; }));
        text(u"OP023MyZip"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.myZip; }));
        // The sender's postal code has always been read as "OP023MyZIP " (a
        // trailing blank, which the file's key matching ignores) and written
        // as "OP023MyZip"; both spellings find the same entry.
        k.back().readName = u"OP023MyZIP "_s;
        text(u"OP023MyADD1"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.myAdd1; }));
        text(u"OP023MyADD2"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.myAdd2; }));
        text(u"OP023MyTEL"_s, Rule::None, {}, ref<QString>([](auto &r) -> auto & { return r.myTel; }));
        number(u"ComboBox_SEL"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.feedIndex; }));
        number(u"Tab_My"_s, Rule::SenderTab, 0, ref<int>([](auto &r) -> auto & { return r.senderTab; }));
        number(u"ime_Itemno"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.imeItemNo; }), true);
        number(u"ime_Item"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.imeItem; }), true);
        number(u"ime_Unit"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.imeUnit; }), true);
        k.push_back({u"NewPage"_s, u"NewPage"_s, SlipKeys::Settings, false, Rule::None, u"0"_s,
                     Flag{ref<bool>([](auto &r) -> auto & { return r.newPage; })}});
        number(u"Comb_Paper"_s, Rule::None, 0, ref<int>([](auto &r) -> auto & { return r.paperIndex; }));
        number(u"TransferMode"_s, Rule::TransferMode, 1, ref<int>([](auto &r) -> auto & { return r.transferMode; }));
        text(u"TaxReduced"_s, Rule::TaxRate, u"8"_s, ref<QString>([](auto &r) -> auto & { return r.taxReduced; }));
        k.push_back({u"TaxReducedDate"_s, u"TaxReducedDate"_s, SlipKeys::Settings, false, Rule::TaxDate,
                     u"2019/10/01"_s, ref<QDate>([](auto &r) -> auto & { return r.taxReducedDate; })});
        k.push_back({u"PriceIncludesTax"_s, u"PriceIncludesTax"_s, SlipKeys::Settings, false, Rule::ZeroOrOne, u"0"_s,
                     Flag{ref<bool>([](auto &r) -> auto & { return r.pricesIncludeTax; })}});
        text(u"InvoiceRegNo"_s, Rule::RegNo, {}, ref<QString>([](auto &r) -> auto & { return r.invoiceRegNo; }));
        k.push_back({u"InvoiceWithSlip"_s, u"InvoiceWithSlip"_s, SlipKeys::Settings, false, Rule::ZeroOrOne, u"0"_s,
                     Flag{ref<bool>([](auto &r) -> auto & { return r.invoiceWithSlip; })}});
        return k;
    }();
    return keys;
}

QString limitedText(const QString &text, const Key &key)
{
    switch (key.rule) {
    case Rule::HalfWidth: return transfer::ToHalfWidth(text);
    case Rule::LineNumber: return zunum::CanonicalText(text, LineNumberFormat());
    case Rule::TaxRate: return zunum::CanonicalText(limits::TaxRateText(text, key.def), TaxRateFormat());
    case Rule::RegNo: return slip::InvoiceRegistrationNumber(text).value_or(QString());
    default: return text;
    }
}

int limitedNumber(int value, const Key &key)
{
    switch (key.rule) {
    case Rule::SenderTab: return value >= 0 && value <= 9 ? value : -1;
    case Rule::TransferMode: return value == 0 ? 0 : 1;
    case Rule::ZeroOrOne: return value == 1 ? 1 : 0;
    default: return value;
    }
}

// Sets one key's value: the file's when there is a file, else the default.
void readKey(SlipRecord &record, const Key &key, const ProfileFile *ini)
{
    const QString section = SlipSection();
    struct Reader
    {
        SlipRecord &record;
        const Key &key;
        const ProfileFile *ini;
        const QString &section;
        void operator()(const Ref<QString> &r) const
        {
            r.set(record) = limitedText(ini ? ini->ReadString(section, key.readName, key.def) : key.def, key);
        }
        void operator()(const Ref<int> &r) const
        {
            const int def = key.def.toInt();
            r.set(record) = limitedNumber(ini ? ini->ReadInteger(section, key.readName, def) : def, key);
        }
        void operator()(const Ref<QDate> &r) const
        {
            const QDate def = dateOf(key.def);
            r.set(record) = limits::TaxDate(ini ? ini->ReadDate(section, key.readName, def) : def, def);
        }
        void operator()(const Flag &f) const
        {
            const QString text = ini ? ini->ReadString(section, key.readName, key.def) : key.def;
            f.ref.set(record) = key.rule == Rule::ZeroOrOne ? text.trimmed() == u"1"_s : text != u"0"_s;
        }
    };
    std::visit(Reader{record, key, ini, section}, key.where);
}

void writeKey(const SlipRecord &record, const Key &key, ProfileFile &ini)
{
    const QString section = SlipSection();
    struct Writer
    {
        const SlipRecord &record;
        const Key &key;
        ProfileFile &ini;
        const QString &section;
        void operator()(const Ref<QString> &r) const { ini.WriteString(section, key.name, r.get(record)); }
        void operator()(const Ref<int> &r) const { ini.WriteInteger(section, key.name, r.get(record)); }
        void operator()(const Ref<QDate> &r) const { ini.WriteDate(section, key.name, r.get(record)); }
        void operator()(const Flag &f) const
        {
            ini.WriteString(section, key.name, f.ref.get(record) ? u"1"_s : u"0"_s);
        }
    };
    std::visit(Writer{record, key, ini, section}, key.where);
}

bool inGroup(const Key &key, SlipKeys keys)
{
    switch (keys) {
    case SlipKeys::Lines: return key.group == SlipKeys::Lines;
    case SlipKeys::Settings: return key.group == SlipKeys::Settings;
    case SlipKeys::InputModes: return key.inputMode;
    case SlipKeys::All: return true;
    }
    return false;
}

} // namespace

SlipRecord DefaultSlipRecord()
{
    SlipRecord record;
    for (const Key &key : Keys())
        readKey(record, key, nullptr);
    record.rounding = u"0"_s;
    return record;
}

SlipRecord ReadSlipRecord(const ProfileFile &ini)
{
    SlipRecord record;
    for (const Key &key : Keys())
        readKey(record, key, &ini);
    record.rounding = u"0"_s;
    return record;
}

void WriteSlipRecord(const SlipRecord &record, ProfileFile &ini, SlipKeys keys)
{
    for (const Key &key : Keys()) {
        if (inGroup(key, keys))
            writeKey(record, key, ini);
    }
}

QStringList SlipKeyNames(SlipKeys keys)
{
    QStringList names;
    for (const Key &key : Keys()) {
        if (inGroup(key, keys))
            names << key.name;
    }
    return names;
}

SlipKeyTexts ReadSlipKeyTexts(const ProfileFile &ini, SlipKeys keys)
{
    SlipKeyTexts texts;
    for (const Key &key : Keys()) {
        if (inGroup(key, keys))
            texts.insert(key.name, ini.ReadString(SlipSection(), key.name, QString()));
    }
    return texts;
}

SlipSave SaveSlipRecord(const SlipRecord &record, const QString &path, SlipKeys keys, SlipKeyTexts &asRead,
                        const QDateTime &now)
{
    SlipSave out;
    out.path = path;
    {
        const ProfileFile disk(path);
        const SlipKeyTexts found = ReadSlipKeyTexts(disk, keys);
        for (auto it = found.cbegin(); it != found.cend(); ++it) {
            if (asRead.value(it.key()) != it.value())
                out.changedKeys << it.key();
        }
    }
    // In the order they are written, as the file lists them.
    const QStringList order = SlipKeyNames(keys);
    std::sort(out.changedKeys.begin(), out.changedKeys.end(),
              [&](const QString &a, const QString &b) { return order.indexOf(a) < order.indexOf(b); });
    if (!out.changedKeys.isEmpty()) {
        if (const std::optional<QString> copy = vuzo::durable::KeepDatedCopy(path, now, out.copyError))
            out.copyPath = *copy;
    }
    ProfileFile ini(path);
    ProfileFile::Batch batch(ini);
    WriteSlipRecord(record, ini, keys);
    batch.commit();
    const SlipKeyTexts saved = ReadSlipKeyTexts(ini, keys);
    for (auto it = saved.cbegin(); it != saved.cend(); ++it)
        asRead.insert(it.key(), it.value());
    return out;
}

QString ChangedKeysMessage(const SlipSave &save)
{
    if (save.changedKeys.isEmpty())
        return QString();
    constexpr qsizetype kShown = 8;
    QString keys = save.changedKeys.mid(0, kShown).join(u'、');
    if (save.changedKeys.size() > kShown)
        keys += u" ほか "_s + QString::number(save.changedKeys.size() - kShown) + u" 件"_s;
    const QString kept = save.copyPath.isEmpty()
                             ? u"変更後のファイルを残すことはできませんでした（"_s + save.copyError + u"）。"_s
                             : u"変更後のファイルは "_s + save.copyPath + u" として残しました。"_s;
    return u"設定ファイル "_s + save.path +
           u" は、このプログラムが読み込んだ後にほかのプログラムで変更されていました。\n変更されていた項目: "_s + keys +
           u"\n"_s + kept + u"\n設定ファイルにはこの画面の内容を保存しました。"_s;
}

} // namespace session
