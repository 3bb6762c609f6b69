#pragma once
// The postal-code help of the delivery address, apart from the window: the
// dictionary the settings name (ZipDictDir, else Debian's skkdic-extra), what
// a postal code or a typed address offers (an address to write, a code, a
// list to choose from, a line of help), the warning when the code and the
// address disagree, and the dictionary as the 自動判別 transfer asks it.

#include "postal/PostalDictionary.h"
#include "transfer/PostalLookup.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>

class ProfileFile;

namespace session {

// What a postal code or an address offers the operator.
struct PostalOffer
{
    enum class Kind
    {
        Nothing,     // the action does not apply (a field filled already, no code)
        Unavailable, // the dictionary is not installed or cannot be read
        Beep,        // the search needs an address and no code
        Help,        // `text` is a line for the guidance band (also: still loading)
        Address,     // `text` is the address for おところ①
        Code,        // `text` is the code for 郵便番号, as 100-0001
        Choices,     // `lines` to choose from; `entries` are what they stand for;
                     // `text`, when not empty, a line for the guidance band
    };
    Kind kind = Kind::Nothing;
    QString text;
    QStringList lines;
    QList<postal::PostalEntry> entries;
    // The choices are addresses of a code (else codes of an address).
    bool forCode = false;

    // What the chosen line writes: the address (forCode) or the formatted
    // code; the empty text for an index outside the list.
    QString chosenText(int index) const;
};

// The dictionary as the 自動判別 transfer and the order checks ask it: a code's
// addresses, and the town codes of an address as typed. The dictionary must
// outlive it.
std::unique_ptr<transfer::PostalLookup> DictionaryLookupOf(const postal::PostalDictionary &dictionary);

class PostalAssist
{
public:
    // The folder ZipDictDir names in the settings file (relative to the data
    // folder), else where skkdic-extra puts its files.
    static QString DictionaryFolder(const ProfileFile &settings, const QString &dataDir);

    explicit PostalAssist(const QString &folder);
    ~PostalAssist();

    postal::PostalDictionary &dictionary() { return *m_dictionary; }

    // How long the first use waits for a load still running: the dictionary
    // is read in well under a second; a load that takes longer (a slow disk)
    // is not waited for again, so typing never stalls on it.
    static constexpr std::chrono::milliseconds kFirstUseWait{2000};
    // The most codes F5 offers to choose from for an address, and for a city
    // whose town is not found (every town of it).
    static constexpr int kMostChoices = 100;
    static constexpr int kMostTownsOfCity = 2000;

    // Whether the dictionary is there: waits for a load still running at
    // most kFirstUseWait, and only until such a wait has once run out.
    bool available() const;
    // The load still runs (available() is false for now).
    bool loading() const;
    // The notice that the dictionary is missing, with the command that
    // installs it, or what is wrong with its file: the first time it is asked
    // for; empty after that.
    QString takeMissingNotice();

    // Enter leaving a postal code while おところ① is empty: the code's one
    // address, or its addresses to choose from; nothing for a code the
    // dictionary does not hold (the warning tells that).
    PostalOffer codeOffer(const QString &zip, const QString &add1) const;
    // F5 in おところ① while 郵便番号 is empty: the one code of the address,
    // its codes to choose from, or a line of help when none or too many fit.
    // A city whose town is not found offers the codes of its towns, saying so.
    PostalOffer addressOffer(const QString &zip, const QString &add1) const;

    // The warning when a finished code is not in the dictionary or does not
    // fit the beginning of おところ①, or when it is a city's own code and the
    // town typed has a code of its own; empty when they agree (or there is no
    // code, or no dictionary).
    QString warning(const QString &zip, const QString &add1) const;

    // The dictionary as the 自動判別 transfer asks it; null when it is not
    // installed (waits for the load).
    const transfer::PostalLookup *lookup();

private:
    // The offer while the dictionary cannot answer: still loading, or missing.
    PostalOffer notReady() const;

    std::unique_ptr<postal::PostalDictionary> m_dictionary;
    mutable bool m_waitRanOut = false;
    std::unique_ptr<transfer::PostalLookup> m_lookup;
    bool m_missingTold = false;
};

} // namespace session
