#pragma once
// The batch print window 「一括印刷」 (F8): an order file's orders as slips,
// one row each with a check box, its order number, name, postal code,
// address, amount and state (「OK」 or its problems). Orders with a problem
// start unticked; ticking one that is 「印刷済み」 or has another problem
// asks first, and one whose figures do not fit cannot be ticked.
//
// Keyboard first: the focus stays in the list, the arrows move, Space ticks,
// Enter takes the order into the main window's fields to be fixed there
// (「メイン画面で直す」); 「戻す」, or coming back to this window, takes the
// main window's slip back into the order. F9 previews the current order,
// F11 prints the ticked ones as one job, 「PDF保存」 writes them as one PDF.
// After a print the operator says which order came out last as it should,
// and may print again from the next one.
//
// The window is not modal, so the main window can be used to fix an order;
// it reaches the main window only through its BatchHost.

#include "batch/TForm_BatchUi.h"
#include "orders/OrderImport.h"
#include "session/OrderBatch.h"

#include <QAbstractTableModel>
#include <QDialog>
#include <QList>
#include <functional>
#include <optional>

class BatchHost;

// The rows of the list: one order each, with its tick and stored slip.
class BatchOrderModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    enum Column
    {
        Tick,
        OrderId,
        Name,
        Zip,
        Address,
        Amount,
        State,
    };

    void setSlips(QList<session::BatchSlip> slips);
    const QList<session::BatchSlip> &slips() const { return m_slips; }
    const session::BatchSlip &slip(int row) const { return m_slips.at(row); }
    // The slip of a row changed (fixed, printed): its row shown again.
    void setSlip(int row, const session::BatchSlip &slip);
    bool ticked(int row) const { return m_ticked.at(row); }
    void setTicked(int row, bool on);
    QList<int> tickedRows() const;
    // The stored slip of the order printed in this window (0: none yet).
    qint64 storedId(int row) const { return m_stored.at(row); }
    void setStoredId(int row, qint64 id) { m_stored[row] = id; }
    // Asked before a row is ticked by the operator; false keeps it unticked.
    void setTickAllowed(std::function<bool(int row)> allowed) { m_allowed = std::move(allowed); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QList<session::BatchSlip> m_slips;
    QList<bool> m_ticked;
    QList<qint64> m_stored;
    std::function<bool(int)> m_allowed;
};

// The state column's text: 「OK」, or the problems joined with 「、」.
QString BatchStateText(const session::BatchSlip &slip);
// Whether the operator may tick the slip at all: not when a figure does not
// fit its field (the slip would print a wrong amount due).
bool BatchSlipTickable(const session::BatchSlip &slip);
// The question before a slip with problems is ticked.
QString BatchTickQuestion(const session::BatchSlip &slip);

class TForm_Batch : public QDialog, private TForm_BatchUi
{
    Q_OBJECT
public:
    // The host outlives the window.
    TForm_Batch(BatchHost *host, QWidget *parent = nullptr);

    // Reads the file (again) with the chosen encoding and mapping.
    void readFile(const QString &path);
    const orders::OrderFile &file() const { return m_file; }
    const BatchOrderModel &model() const { return m_model; }
    BatchOrderModel &model() { return m_model; }
    QString stateText() const;
    // The row out in the main window to be fixed, or -1.
    int rowInMainWindow() const { return m_fixRow; }

    // The buttons' work (also their keys).
    void fixInMainWindow();
    void takeBack();
    void previewCurrent();
    void savePdf();
    void printTicked();
    // The column mapping window for this file; its mapping read with (and
    // remembered when asked).
    void askMapping();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void reread();
    void showFile();
    void showState(const QString &text, bool trouble);
    void showCounts();
    bool tickAllowed(int row);
    int currentRow() const;
    // Prints the rows, asks how far the paper came out right, and offers to
    // print again from the next one.
    void printRows(QList<int> rows);
    // The question after the job: the row printed last as it should, or
    // nullopt when all came out right (or the operator closed the box).
    std::optional<int> askLastGood(const QList<int> &rows);
    QList<SlipInputs> pagesOf(const QList<int> &rows) const;

    BatchHost *m_host;
    session::BatchContext m_context;
    orders::OrderFile m_file;
    std::optional<orders::ColumnMapping> m_mapping; // the operator's, for this file
    QString m_path;
    BatchOrderModel m_model;
    int m_fixRow = -1;
    session::SlipRecord m_sentRecord; // what the main window got for m_fixRow
};

// The column mapping window: each field of the slip with the file's columns
// joined into it, in order, proposed from the columns the header's names
// suggest. 「この対応を保存」 also remembers it for files of this header.
class TForm_BatchMapping : public QDialog, private TForm_BatchMappingUi
{
    Q_OBJECT
public:
    static constexpr int kJoined = 3;

    TForm_BatchMapping(const QStringList &header, const orders::ColumnMapping &proposal, QWidget *parent = nullptr);

    // The mapping the choices make now.
    orders::ColumnMapping mapping() const;
    void setColumns(orders::OrderField field, const QList<int> &columns);
    // 「この対応を保存」 was pressed (the window was accepted with it).
    bool saveRequested() const { return m_save; }

private:
    void finish(bool save);

    QStringList m_header;
    orders::ColumnMapping m_proposal;
    bool m_save = false;
};
