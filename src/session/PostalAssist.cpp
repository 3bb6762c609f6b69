#include "session/PostalAssist.h"

#include "platform/TextUtil.h"
#include "postal/PostalText.h"
#include "session/SlipRecord.h"
#include "settings/ProfileFile.h"

#include <QDir>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace session {

namespace {

// A line of the choice list for an address of a code: a business code's
// receiver follows its address.
QString addressLine(const postal::PostalEntry &e)
{
    return e.isOffice ? e.address + u"（"_s + e.office + u"）"_s : e.address;
}

// The dictionary as the 自動判別 transfer asks it: a code's addresses, and
// the town codes of an address as typed (street number and all).
class DictionaryLookup : public transfer::PostalLookup
{
public:
    explicit DictionaryLookup(const postal::PostalDictionary &dictionary) : m_dictionary(dictionary) {}
    QStringList addressesOf(const QString &sevenDigitCode) const override
    {
        return m_dictionary.addresses(sevenDigitCode);
    }
    QStringList codesOf(const QString &address) const override
    {
        // Two are enough to tell one code from several. The towns of a city
        // whose town is not found are no answer: the operator chooses with F5.
        QStringList codes;
        const postal::AddressMatch match = m_dictionary.matchAddress(address, 2);
        if (match.townNotFound)
            return codes;
        for (const postal::PostalEntry &e : match.entries)
            codes << e.code;
        return codes;
    }

private:
    const postal::PostalDictionary &m_dictionary;
};

} // namespace

std::unique_ptr<transfer::PostalLookup> DictionaryLookupOf(const postal::PostalDictionary &dictionary)
{
    return std::make_unique<DictionaryLookup>(dictionary);
}

QString PostalOffer::chosenText(int index) const
{
    if (index < 0 || index >= entries.size())
        return QString();
    return forCode ? entries.at(index).address : postal::FormatCode(entries.at(index).code);
}

QString PostalAssist::DictionaryFolder(const ProfileFile &settings, const QString &dataDir)
{
    const QString folder = vuzo::Trim(settings.ReadString(SlipSection(), u"ZipDictDir"_s, QString()));
    if (folder.isEmpty())
        return postal::PostalDictionary::DefaultDirectory();
    return QDir(dataDir).absoluteFilePath(folder);
}

PostalAssist::PostalAssist(const QString &folder) : m_dictionary(std::make_unique<postal::PostalDictionary>(folder)) {}

PostalAssist::~PostalAssist() = default;

bool PostalAssist::available() const
{
    if (m_waitRanOut) {
        m_dictionary->startLoading();
        return m_dictionary->state() == postal::PostalDictionary::State::Loaded;
    }
    const bool loaded = m_dictionary->waitForLoaded(kFirstUseWait);
    m_waitRanOut = !loaded && loading();
    return loaded;
}

bool PostalAssist::loading() const
{
    return m_dictionary->state() == postal::PostalDictionary::State::Loading;
}

PostalOffer PostalAssist::notReady() const
{
    PostalOffer offer;
    if (loading()) {
        offer.kind = PostalOffer::Kind::Help;
        offer.text = u"郵便番号辞書を読み込んでいます。少し待ってから、もう一度お試し下さい"_s;
    } else {
        offer.kind = PostalOffer::Kind::Unavailable;
    }
    return offer;
}

QString PostalAssist::takeMissingNotice()
{
    if (m_missingTold)
        return QString();
    m_missingTold = true;
    using Problem = postal::PostalDictionary::Problem;
    const Problem problem = m_dictionary->problem();
    if (problem != Problem::NotFound && problem != Problem::None && problem != Problem::Cancelled)
        return m_dictionary->problemText() + u"。\n郵便番号と住所の検索は使えません。"_s
                                             u"辞書のファイルを確かめて下さい（導入し直すには: "_s
                                             u"sudo apt install --reinstall skkdic-extra）"_s;
    return u"郵便番号辞書がありません（%1）。\n"
           u"郵便番号と住所の検索を使うには、辞書を導入して下さい:\n"
           u"sudo apt install skkdic-extra"_s.arg(m_dictionary->areaFilePath());
}

PostalOffer PostalAssist::codeOffer(const QString &zip, const QString &add1) const
{
    PostalOffer offer;
    const QString code = postal::NormalizeCode(zip);
    if (code.isEmpty() || !vuzo::Trim(add1).isEmpty())
        return offer;
    if (!available())
        return notReady();
    const QList<postal::PostalEntry> entries = m_dictionary->entries(code);
    if (entries.isEmpty())
        return offer; // the warning tells that the code is not in the dictionary
    if (entries.size() == 1) {
        offer.kind = PostalOffer::Kind::Address;
        offer.text = entries.first().address;
        return offer;
    }
    offer.kind = PostalOffer::Kind::Choices;
    offer.forCode = true;
    offer.entries = entries;
    for (const postal::PostalEntry &e : entries)
        offer.lines << addressLine(e);
    return offer;
}

PostalOffer PostalAssist::addressOffer(const QString &zip, const QString &add1) const
{
    PostalOffer offer;
    const QString address = vuzo::Trim(add1);
    if (!vuzo::Trim(zip).isEmpty() || address.isEmpty()) {
        offer.kind = PostalOffer::Kind::Beep;
        return offer;
    }
    if (!available())
        return notReady();
    // A city whose town is not found offers all its towns (Kyoto's wards
    // have some five hundred); other answers are narrowed by more typing.
    const postal::AddressMatch match = m_dictionary->matchAddress(address, kMostTownsOfCity);
    if (match.entries.isEmpty()) {
        offer.kind = PostalOffer::Kind::Help;
        offer.text = u"おところ①に合う郵便番号が見つかりません"_s;
        return offer;
    }
    if (match.truncated || (!match.townNotFound && match.entries.size() > kMostChoices)) {
        offer.kind = PostalOffer::Kind::Help;
        offer.text = u"候補が多すぎます。おところ①をもう少し詳しく入力して下さい"_s;
        return offer;
    }
    bool oneCode = true;
    for (const postal::PostalEntry &e : match.entries) {
        oneCode = oneCode && e.code == match.entries.first().code;
        offer.lines << postal::FormatCode(e.code) + u"　"_s + e.address;
    }
    if (oneCode) {
        offer.kind = PostalOffer::Kind::Code;
        offer.text = postal::FormatCode(match.entries.first().code);
        offer.lines.clear();
        return offer;
    }
    offer.kind = PostalOffer::Kind::Choices;
    offer.forCode = false;
    offer.entries = match.entries;
    if (match.townNotFound)
        offer.text = u"おところ①の町名が郵便番号辞書に見つかりません。一覧から町名を選んで下さい"_s;
    return offer;
}

QString PostalAssist::warning(const QString &zip, const QString &add1) const
{
    const QString code = postal::NormalizeCode(zip);
    // Only a finished code is checked; a load still running is awaited
    // briefly then (the window checks again when the load ends).
    if (code.isEmpty() || !available())
        return QString();
    const QStringList addresses = m_dictionary->addresses(code);
    if (addresses.isEmpty())
        return u"警告:〒%1は郵便番号辞書にありません"_s.arg(postal::FormatCode(code));
    // The code of the town found in the address agrees, also when the
    // address goes there by a street (a Kyoto address).
    const postal::AddressMatch match = m_dictionary->matchAddress(vuzo::Trim(add1), 20);
    if (!match.townNotFound && std::any_of(match.entries.begin(), match.entries.end(),
                                           [&code](const postal::PostalEntry &e) { return e.code == code; }))
        return QString();
    if (!postal::AddressAgrees(vuzo::Trim(add1), addresses))
        return u"警告:郵便番号とおところ①が合いません（〒%1は%2%3）"_s.arg(
            postal::FormatCode(code), addresses.first(), addresses.size() > 1 ? u"など"_s : QString());
    // A city's own code agrees with every address of the city; the town
    // typed after it may have a code of its own.
    if (match.townNotFound || match.entries.isEmpty())
        return QString();
    const QString town = match.entries.first().address;
    if (!town.startsWith(addresses.first()) || town.size() == addresses.first().size())
        return QString();
    return u"警告:〒%1は%2全体の番号です（%3は〒%4%5）"_s.arg(
        postal::FormatCode(code), addresses.first(), town.mid(addresses.first().size()),
        postal::FormatCode(match.entries.first().code), match.entries.size() > 1 ? u"など"_s : QString());
}

const transfer::PostalLookup *PostalAssist::lookup()
{
    // Without the dictionary the transfer works on the text alone; the
    // actions that need it say so themselves.
    if (!available())
        return nullptr;
    if (!m_lookup)
        m_lookup = DictionaryLookupOf(*m_dictionary);
    return m_lookup.get();
}

} // namespace session
