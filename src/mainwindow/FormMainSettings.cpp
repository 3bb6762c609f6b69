// The main window's settings file: its fields bound to the slip record
// (whose key table says what is stored, with which default), the saved sales
// lines, the sender record and the input-method choices.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "settings/ProfileFile.h"
#include "settings/SenderRecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

using namespace Qt::StringLiterals;

QString TForm_Main::SettingsPath() const
{
    return Label_CurrentDir->text() + u'/' + session::SettingsFileName();
}

QString TForm_Main::RegistrationPath() const
{
    return Label_CurrentDir->text() + u'/' + session::RegistrationFileName();
}

int TForm_Main::ListIndex(const QComboBox *list)
{
    // An editable list whose text was typed rather than chosen has no item.
    const int index = list->currentIndex();
    if (index >= 0 && list->isEditable() && list->currentText() != list->itemText(index))
        return -1;
    return index;
}

void TForm_Main::SetListIndex(QComboBox *list, int index)
{
    list->setCurrentIndex(index >= 0 && index < list->count() ? index : -1);
}

void TForm_Main::ReadStartupSettings()
{
    ProfileFile ini(SettingsPath());
    if (const QString refusal = ini.readRefusal(); !refusal.isEmpty()) {
        m_settingsUnreadable = true;
        vuzo::Dialogs().notice(this, u"設定ファイル "_s + ini.path() + u" を読めません（"_s + refusal +
                                         u"）。\n既定の内容で始めます。このファイルは終了するときも書き換えません。"_s);
    }
    m_keysAsRead = session::ReadSlipKeyTexts(ini, session::SlipKeys::All);
    showSettings(session::ReadSlipRecord(ini));
}

// The record's settings in the order start-up has always filled the fields:
// a field's change handlers see the others as they were then.
void TForm_Main::showSettings(const session::SlipRecord &r)
{
    m_senderNumber = r.senderTab;
    if (m_senderNumber >= 0)
        PageControl_My->setCurrentIndex(m_senderNumber);
    SetListIndex(ComboBox_FontSize, r.addressFont);
    SetListIndex(ComboBox_FontSizeMy, r.senderFont);
    QFont font = Label_Font_1->font();
    if (r.fontSize > 0)
        font.setPointSize(r.fontSize);
    if (!r.fontName.isEmpty())
        font.setFamily(r.fontName);
    Label_Font_1->setFont(font);
    ZuNumEdit_TaxOld->setText(r.taxOld);
    DateTimePicker_TaxEnforDate->setDate(r.taxEnforDate);
    ZuNumEdit_TaxNew->setText(r.taxNew);
    ZuNumEdit_TaxReduced->setText(r.taxReduced);
    DateTimePicker_TaxReducedDate->setDate(r.taxReducedDate);
    ComboBox_PriceTax->setCurrentIndex(r.pricesIncludeTax ? 1 : 0);
    m_invoiceRegNo = r.invoiceRegNo;
    Edit_InvoiceRegNo->setText(r.invoiceRegNo);
    ComboBox_InvoiceWithSlip->setCurrentIndex(r.invoiceWithSlip ? 1 : 0);
    Edit_My->setText(r.myName);
    Edit_MyZip->setText(r.myZip);
    Edit_MyADD1->setText(r.myAdd1);
    Edit_MyADD2->setText(r.myAdd2);
    Edit_MyTEL->setText(r.myTel);
    Edit_Zip->setText(r.zip);
    Edit_Add1->setText(r.add1);
    Edit_Add2->setText(r.add2);
    Edit_Add3->setText(r.add3);
    Edit_Custo1->setText(r.custo1);
    Edit_tel->setText(r.tel);
    for (int k = 1; k <= 6; ++k)
        Edit_G[k]->setText(r.extraLines[k]);
    for (int k = 1; k <= 9; ++k)
        Edit_Remark[k]->setText(r.remarks[k]);
    for (int k = 0; k <= 5; ++k)
        Edit_021[k]->setText(r.documentHead[k]);
    ZuNumEdit_KOSUU->setText(r.kosuu);
    SetListIndex(ComboBox_SEL, r.feedIndex);
    SetListIndex(ComboBox_ime_Itemno, r.imeItemNo);
    SetListIndex(ComboBox_ime_Item, r.imeItem);
    SetListIndex(ComboBox_ime_Unit, r.imeUnit);
    SetListIndex(ComboBox_Paper, r.paperIndex);
    CheckBox_NewPage->setChecked(r.newPage);
    ComboBox_TransferMode->setCurrentIndex(r.transferMode);
}

void TForm_Main::WriteShutdownSettings()
{
    ProfileFile ini(SettingsPath());
    ProfileFile::Batch batch(ini);
    session::WriteSlipRecord(slipRecord(), ini, session::SlipKeys::Settings);
    batch.commit();
}

TForm_Main::LineFields TForm_Main::lineFields(int n) const
{
    if (dITEM_Ary[n])
        return {dITEMNO_Ary[n], dITEM_Ary[n], dUNIT_Ary[n], dQTY_Ary[n], dPRICE_Ary[n], dSALES_Ary[n], dREDUCED_Ary[n]};
    const QString num = QString::number(n);
    return {findChild<QLineEdit *>(u"Edit_itemNo"_s + num),      findChild<QLineEdit *>(u"Edit_item"_s + num),
            findChild<QLineEdit *>(u"Edit_unit"_s + num),        findChild<TZuNumEdit *>(u"ZuNumEdit_QTY"_s + num),
            findChild<TZuNumEdit *>(u"ZuNumEdit_Price"_s + num), findChild<TZuNumEdit *>(u"ZuNumEdit_Sales"_s + num),
            findChild<QCheckBox *>(u"CheckBox_Reduced"_s + num)};
}

session::SlipRecord TForm_Main::slipRecord() const
{
    session::SlipRecord r;
    r.zip = Edit_Zip->text();
    r.add1 = Edit_Add1->text();
    r.add2 = Edit_Add2->text();
    r.add3 = Edit_Add3->text();
    r.custo1 = Edit_Custo1->text();
    r.tel = Edit_tel->text();
    r.myName = Edit_My->text();
    r.myZip = Edit_MyZip->text();
    r.myAdd1 = Edit_MyADD1->text();
    r.myAdd2 = Edit_MyADD2->text();
    r.myTel = Edit_MyTEL->text();
    for (int n = 1; n <= kRows; ++n) {
        const LineFields f = lineFields(n);
        r.lines[n - 1] = {f.itemNo->text(),
                          f.item->text(),
                          f.qty->text(),
                          f.unit->text(),
                          f.price->text(),
                          f.sales->text(),
                          f.reduced->isChecked() ? 1 : 0};
    }
    r.taxOld = ZuNumEdit_TaxOld->text();
    r.taxNew = ZuNumEdit_TaxNew->text();
    r.taxEnforDate = DateTimePicker_TaxEnforDate->date();
    r.taxReduced = ZuNumEdit_TaxReduced->text();
    r.taxReducedDate = DateTimePicker_TaxReducedDate->date();
    r.pricesIncludeTax = ComboBox_PriceTax->currentIndex() == 1;
    r.invoiceRegNo = m_invoiceRegNo;
    r.invoiceWithSlip = ComboBox_InvoiceWithSlip->currentIndex() == 1;
    r.slipDate = DateTimePicker_1->date();
    r.rounding = Edit_TxDisp->text();
    r.slipNo = ZuNumEdit_Slipno->text();
    r.feedIndex = ListIndex(ComboBox_SEL);
    r.paperIndex = ListIndex(ComboBox_Paper);
    r.senderTab = m_senderNumber;
    r.addressFont = ListIndex(ComboBox_FontSize);
    r.senderFont = ListIndex(ComboBox_FontSizeMy);
    r.fontSize = Label_Font_1->font().pointSize();
    r.fontName = Label_Font_1->font().family();
    for (int k = 1; k <= 6; ++k)
        r.extraLines[k] = Edit_G[k]->text();
    for (int k = 1; k <= 9; ++k)
        r.remarks[k] = Edit_Remark[k]->text();
    for (int k = 0; k <= 5; ++k)
        r.documentHead[k] = Edit_021[k]->text();
    r.kosuu = ZuNumEdit_KOSUU->text();
    r.imeItemNo = ListIndex(ComboBox_ime_Itemno);
    r.imeItem = ListIndex(ComboBox_ime_Item);
    r.imeUnit = ListIndex(ComboBox_ime_Unit);
    r.newPage = CheckBox_NewPage->isChecked();
    r.transferMode = ComboBox_TransferMode->currentIndex();
    return r;
}

void TForm_Main::showLines(const session::SlipRecord &record)
{
    for (int n = 1; n <= kRows; ++n) {
        const LineFields f = lineFields(n);
        const session::SlipLine &l = record.lines[n - 1];
        f.itemNo->setText(l.itemNo);
        f.item->setText(l.item);
        f.qty->setText(l.qty);
        f.unit->setText(l.unit);
        f.price->setText(l.price);
        f.sales->setText(l.sales);
        {
            // The totals follow once, after all lines are shown.
            const QSignalBlocker block(f.reduced);
            f.reduced->setChecked(l.taxClass == 1);
        }
        markReducedRow(n);
    }
}

void TForm_Main::showLineFigures(const session::SlipRecord &record)
{
    // A numeric field that already shows the text keeps it without an event.
    for (int n = 1; n <= kRows; ++n) {
        const LineFields f = lineFields(n);
        f.price->setText(record.lines[n - 1].price);
        f.sales->setText(record.lines[n - 1].sales);
    }
}

void TForm_Main::SpeedButton_ini_s2wClick()
{
    ProfileFile ini(SettingsPath());
    ProfileFile::Batch batch(ini);
    session::WriteSlipRecord(slipRecord(), ini, session::SlipKeys::Lines);
    batch.commit();
    m_keysAsRead.insert(session::ReadSlipKeyTexts(ini, session::SlipKeys::Lines));
}

void TForm_Main::SpeedButton_ini_s2rClick()
{
    ProfileFile ini(SettingsPath());
    showLines(session::ReadSlipRecord(ini));
}

void TForm_Main::SpeedButton_readMyClick()
{
    const int k = m_senderNumber;
    if (k < 0 || k > 9) {
        vuzo::Dialogs().notice(this, u"TabErr"_s);
        return;
    }
    const std::array<QString, 5> lines = ReadSenderRecord(u"my"_s + QString::number(k) + u".txt"_s);
    Edit_MyZip->setText(lines[0]);
    Edit_MyADD1->setText(lines[1]);
    Edit_MyADD2->setText(lines[2]);
    Edit_My->setText(lines[3]);
    Edit_MyTEL->setText(lines[4]);
}

void TForm_Main::ComboBox_ime_Change()
{
    ProfileFile ini(SettingsPath());
    ProfileFile::Batch batch(ini);
    session::WriteSlipRecord(slipRecord(), ini, session::SlipKeys::InputModes);
    batch.commit();
    m_keysAsRead.insert(session::ReadSlipKeyTexts(ini, session::SlipKeys::InputModes));
}
