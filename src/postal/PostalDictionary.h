#pragma once
// Japan Post's postal codes, offline, from the dictionaries of Debian's
// skkdic-extra: SKK-JISYO.zipcode (the codes of towns, lines like
// "1000001 /東京都千代田区千代田/", several addresses as "/a/b/") and
// SKK-JISYO.office.zipcode (the codes of single large receivers, written
// "/receiver @ address/"), both in EUC-JIS-2004.
//
// The files are read once, on a thread of their own, when the first query
// comes or startLoading() is called; once loaded, every query is synchronous
// and answers from memory. A query made while the load runs waits for it; a
// window asks with a bounded wait first (waitForLoaded with a time).
// A missing or unusable SKK-JISYO.zipcode leaves the dictionary Missing:
// every query then answers nothing, and problem() tells why. The office file
// is optional.
//
// Only regular files of at most kMaxFileSize bytes are read: a named pipe, a
// device or a directory put where the dictionary belongs is refused before
// it is opened (and again after, should the file have been swapped), so the
// load never blocks and never reads without end. The load can be cancelled;
// it looks at the request between every megabyte it reads and every few
// thousand lines it parses.
//
// Queries may come from any thread once loaded: the loaded data never changes.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <chrono>
#include <memory>
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
    // Only the code of the whole city matched, and none of its towns is
    // named in the text: the entries are the city's towns to choose from.
    bool townNotFound = false;
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
    // Why a load ended Missing.
    enum class Problem
    {
        None,
        NotFound,
        NotRegularFile, // a directory, a named pipe, a device, a socket
        TooLarge,
        Unreadable,
        Cancelled
    };

    // The real SKK-JISYO.zipcode is about 4 MB; a file many times larger is
    // no dictionary, and reading it would only fill the memory.
    static constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

    static constexpr const char16_t *kAreaFile = u"SKK-JISYO.zipcode";
    static constexpr const char16_t *kOfficeFile = u"SKK-JISYO.office.zipcode";
    // Where Debian's skkdic-extra puts them.
    static QString DefaultDirectory();

    explicit PostalDictionary(const QString &directory = DefaultDirectory(), QObject *parent = nullptr);
    // Stops a load in progress; waits for its thread at most kExitWait, then
    // leaves it to end by itself (it holds nothing of the object).
    ~PostalDictionary() override;
    static constexpr std::chrono::milliseconds kExitWait{500};

    QString directory() const { return m_directory; }
    QString areaFilePath() const;

    // Starts reading the files in the background, once; returns at once.
    void startLoading() const;
    // Where the load stands now, without waiting.
    State state() const;
    // Starts the load if needed and waits for its end; true when loaded.
    bool waitForLoaded() const;
    // The same, waiting at most `timeout`; false also while it still runs.
    bool waitForLoaded(std::chrono::milliseconds timeout) const;
    // Asks a load in progress to stop; it then ends Missing, Cancelled.
    void cancelLoading();
    // Why the dictionary is Missing, and the same in plain Japanese for the
    // operator, naming the file (empty while loading or loaded, and for a
    // cancelled load).
    Problem problem() const;
    QString problemText() const;

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
    // A city's own code (…-0000) is never the answer when its towns have
    // codes: the town named further in the text is, else the city's towns
    // are, with townNotFound. Business codes belong to one receiver each and
    // are not offered.
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
    // What the loading thread and the object share; the thread keeps it
    // alive should it outlive the object.
    struct Shared;

private:
    const Data *data() const;

    QString m_directory;
    std::shared_ptr<Shared> m_shared;
    mutable std::thread m_thread;
};

} // namespace postal
