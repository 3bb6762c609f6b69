// The history window (F6) over the window's history service, and what it
// asks of the window: a stored customer (and the slip's lines) taken back
// into the fields, a stored slip printed again.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "history/TForm_History.h"
#include "mainwindow/TForm_Main.h"
#include "session/HistoryStore.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

void TForm_Main::SpeedButton_F6Click()
{
    TForm_History window(history(), this, Label_CurrentDir->text(), this);
    window.exec();
}

void TForm_Main::takeCustomer(const session::HistorySlip &slip, bool withLines)
{
    // As a paste transfer does: what the operator typed is not replaced
    // without asking.
    if (m_deliveryTyped && !vuzo::Dialogs().confirm(this, u"手で入力したお届け先を上書きしますか?"_s))
        return;
    const session::SlipRecord &r = slip.record;
    Edit_Zip->setText(r.zip);
    Edit_Add1->setText(r.add1);
    Edit_Add2->setText(r.add2);
    Edit_Add3->setText(r.add3);
    Edit_Custo1->setText(r.custo1);
    Edit_tel->setText(r.tel);
    m_deliveryTyped = false;
    Edit_Warning();
    if (withLines) {
        // The stored lines with their rate classes; the amounts and totals
        // are worked out again as the fields' own edits do, at today's rate.
        session::SlipRecord now = slipRecord();
        now.lines = r.lines;
        showLines(now);
        DEN_SALS();
        DEN_SUM();
    }
    Edit_Zip->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::reprint(const session::HistorySlip &slip)
{
    reprintSlip(slip);
}
