#pragma once
// What the batch print window asks of the window that opened it: the only
// way it reaches the main window's fields, its feed, its history and its
// print.

#include "session/OrderBatch.h"

#include <QList>
#include <QString>
#include <functional>

// The slips of one print, in list order.
struct BatchPrintRequest
{
    QList<session::BatchSlip> slips;
    // For each slip the stored slip a print again adds its job to; 0 keeps a
    // new slip in the history first.
    QList<qint64> storedIds;
    // Their pages as the window's context lays them out.
    QList<SlipInputs> pages;
    // Called after each page; false stops the job (中止).
    std::function<bool(int done, int total)> progress;
};

struct BatchPrintOutcome
{
    // The job was handed to the print system (a refusal or the operator's
    // No sends nothing).
    bool sent = false;
    int pagesDrawn = 0;
    bool stopped = false;
    // For each slip of the request, the stored slip (0: not recorded).
    QList<qint64> storedIds;
};

class BatchHost
{
public:
    virtual ~BatchHost() = default;
    // What the slips are made and checked with now: the settings file's
    // record, the selected feed's geometry and sheet, the postal dictionary
    // and the history's printed orders. refusal: the settings cannot be read.
    virtual session::BatchSettings batchSettings() = 0;
    // The settings file the mappings are remembered in.
    virtual QString batchSettingsPath() const = 0;
    // The folder a PDF is proposed in and the open-file dialog starts in.
    virtual QString batchDataDir() const = 0;
    // The slip's record into the main window's fields, asking first when
    // the operator typed there; false when the fields were kept.
    virtual bool showBatchSlip(const session::SlipRecord &record) = 0;
    // The record the main window's fields hold now.
    virtual session::SlipRecord currentRecord() const = 0;
    // The preview of one slip on the selected feed; true when the operator
    // asked to print it from there.
    virtual bool previewBatchSlip(const session::BatchSlip &slip, const session::BatchContext &context) = 0;
    // The slips as one job on the selected feed, with F11's refusals, each
    // kept in the history with its order id before the job.
    virtual BatchPrintOutcome printBatch(const BatchPrintRequest &request) = 0;
};
