#pragma once
// Japan Post's postal codes, offline, from the dictionaries of Debian's
// skkdic-extra: SKK-JISYO.zipcode (the codes of towns, lines like
// "1000001 /東京都千代田区千代田/", several addresses as "/a/b/") and
// SKK-JISYO.office.zipcode (the codes of single large receivers, written
// "/receiver @ address/"), both in EUC-JIS-2004.
//
// The files are read once, on a thread of their own, when the first query
// comes or startLoading() is called; once loaded, every query is synchronous
// and answers from memory. A query made while the load runs waits for it.
// A missing or unreadable SKK-JISYO.zipcode leaves the dictionary Missing:
// every query then answers nothing. The office file is optional.
//
// Queries may come from any thread once loaded: the loaded data never changes.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace postal {

struct PostalEntry
{
    QString code;    // seven ASCII digits
    QString address; // as the dictionary writes it: prefecture, city, town
    QString office;  // the receiver of a business code; empty for a town's code
    bool isOffice = false;

    bool operator==(const PostalEntry &) const = default;
};

// The answer to an address typed by the operator (matchAddress).
struct AddressMatch
{
    QList<PostalEntry> entries; // at most the limit asked for, in code order
    bool truncated = false;     // more matched than the limit
};

class PostalDictionary : public QObject
{
    Q_OBJECT
public:
    enum class State
    {
        NotLoaded,
        Loading,
        Loaded,
        Missing
    };

    static constexpr const char16_t *kAreaFile = u"SKK-JISYO.zipcode";
    static constexpr const char16_t *kOfficeFile = u"SKK-JISYO.office.zipcode";
    // Where Debian's skkdic-extra puts them.
    static QString DefaultDirectory();

    explicit PostalDictionary(const QString &directory = DefaultDirectory(), QObject *parent = nullptr);
    // Stops a load in progress and waits for its thread.
    ~PostalDictionary() override;

    QString directory() const { return m_directory; }
    QString areaFilePath() const;

    // Starts reading the files in the background, once; returns at once.
    void startLoading() const;
    // Where the load stands now, without waiting.
    State state() const;
    // Starts the load if needed and waits for its end; true when loaded.
    bool waitForLoaded() const;

    // ---- queries; each waits for the load ----
    // Every address of a postal code written in any form NormalizeCode reads,
    // town codes first, then business codes, in the files' order. Empty for a
    // code the dictionaries do not hold, for text that is no postal code, and
    // when the dictionary is missing.
    QList<PostalEntry> entries(QStringView code) const;
    QStringList addresses(QStringView code) const;

    // The town codes whose address begins with the text (compared in
    // FoldAddress form; the prefecture may be left out), each code once, in
    // code order, at most `limit`.
    QStringList codes(QStringView addressPrefix, int limit = 1000) const;

    // The town codes of an address the operator typed: the addresses equal
    // to it; else those it is the beginning of; else the longest addresses
    // that are the beginning of it (the text goes on with the block number).
    // Business codes belong to one receiver each and are not offered.
    AddressMatch matchAddress(QStringView typed, int limit = 100) const;

    // Figures of the loaded data: the number of addresses (town and business)
    // and the bytes the tables take.
    qsizetype entryCount() const;
    size_t memoryBytes() const;

Q_SIGNALS:
    // The load has ended, loaded or missing. Emitted from the loading thread:
    // connect with a receiver in the GUI thread and it arrives queued there.
    void loadFinished();

public:
    struct Data;

private:
    void finish(std::shared_ptr<const Data> data) const;
    const Data *data() const;

    QString m_directory;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_done;
    mutable std::thread m_thread;
    std::atomic<bool> m_cancel = false;
    mutable State m_state = State::NotLoaded;
    mutable std::shared_ptr<const Data> m_data;
};

} // namespace postal
