#pragma once
// The history window 「履歴」 (F6): one search field over the stored slips'
// names, telephones (in any writing), postal codes and addresses, searched as
// the operator types; the matching slips newest first, or one line per
// customer with the number of their slips.
//
// Keyboard first: the focus stays in the search field, Up and Down move in
// the list from there, Enter takes the customer's delivery fields into the
// main window (「取り込む」), Ctrl+Enter also the slip's lines (「明細も取り込
// む」), Escape closes. 「再印刷」 prints the stored slip again through the host;
// 「CSV出力」 writes the slips of a period.
//
// The window reaches the store only through the history service, so a slow
// disk or a server that does not answer never freezes it; each search's
// answer carries its number and an answer to an older search is dropped. A
// store that is not ready or failed is told in the state line and the window
// stays usable.

#include "history/TForm_HistoryUi.h"
#include "session/HistoryStore.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <functional>

class HistoryHost;
namespace session {
class HistoryService;
}

// The rows of the list: the hits of the last search.
class HistoryHitModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column
    {
        Date,
        SlipNo,
        Name,
        Address,
        Tel,
        Total,
        Count, // shown one line per customer only
    };

    void setHits(QList<session::HistoryHit> hits, bool perCustomer);
    const QList<session::HistoryHit> &hits() const { return m_hits; }
    bool perCustomer() const { return m_perCustomer; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<session::HistoryHit> m_hits;
    bool m_perCustomer = false;
};

class TForm_History : public QDialog, private TForm_HistoryUi
{
    Q_OBJECT
public:
    // The service and the host outlive the window. dataDir: the data folder,
    // whose files the export never writes over.
    TForm_History(session::HistoryService *service, HistoryHost *host, const QString &dataDir,
                  QWidget *parent = nullptr);

    const HistoryHitModel &model() const { return m_model; }
    // The state line's text: why the store cannot be used, what the export
    // did, or empty.
    QString stateText() const;
    // Number of the last search asked, and of the last one whose answer is
    // shown.
    int searchAsked() const { return m_asked; }
    int searchShown() const { return m_shown; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void search();
    void showHits(int number, QList<session::HistoryHit> hits, bool perCustomer);
    void showState(const QString &text, bool trouble);
    void serviceReady();
    // The stored slip of the current row, then `use` on it.
    void withCurrentSlip(const std::function<void(const session::HistorySlip &)> &use);
    void take(bool withLines);
    void BitBtn_ReprintClick();
    void BitBtn_CsvClick();
    void moveInList(int key);

    session::HistoryService *m_service;
    HistoryHost *m_host;
    QString m_dataDir;
    HistoryHitModel m_model;
    int m_asked = 0;
    int m_shown = 0;
};
