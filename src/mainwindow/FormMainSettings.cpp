// The main window's settings file: the start-up and shut-down key tables,
// the saved sales lines, the sender record and the input-method choices.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "settings/ProfileFile.h"
#include "settings/SenderRecord.h"
#include "settings/ValueLimits.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;

// Rates in force for a new settings file. (The rates of 1997, 3 % and 5 %,
// would print a wrong amount due on every slip of today.)
const QString kDefaultTaxOld = u"8"_s;
const QString kDefaultTaxNew = u"10"_s;
const QDate kDefaultTaxEnforDate(2019, 10, 1);

} // namespace

QString TForm_Main::SettingsPath() const
{
    return Label_CurrentDir->text() + u"/vuzo_Vez_1.ini"_s;
}

QString TForm_Main::RegistrationPath() const
{
    return Label_CurrentDir->text() + u"/vuzo_a500.ini"_s;
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
    const int tabMy = ini.ReadInteger(kSection, u"Tab_My"_s, 0);
    m_senderNumber = (tabMy >= 0 && tabMy <= 9) ? tabMy : -1;
    if (m_senderNumber >= 0)
        PageControl_My->setCurrentIndex(m_senderNumber);
    SetListIndex(ComboBox_FontSize, ini.ReadInteger(kSection, u"Addr_Font"_s, 1));
    SetListIndex(ComboBox_FontSizeMy, ini.ReadInteger(kSection, u"Addr_FontMy"_s, 0));
    QFont font = Label_Font_1->font();
    const int size = ini.ReadInteger(kSection, u"G13_FontSize"_s, 10);
    if (size > 0)
        font.setPointSize(size);
    const QString face = ini.ReadString(kSection, u"G16_FontName"_s, QString());
    if (!face.isEmpty())
        font.setFamily(face);
    Label_Font_1->setFont(font);
    ZuNumEdit_TaxOld->setText(
        limits::TaxRateText(ini.ReadString(kSection, u"TaxOld"_s, kDefaultTaxOld), kDefaultTaxOld));
    DateTimePicker_TaxEnforDate->setDate(
        limits::TaxDate(ini.ReadDate(kSection, u"TaxEnforDate"_s, kDefaultTaxEnforDate), kDefaultTaxEnforDate));
    ZuNumEdit_TaxNew->setText(
        limits::TaxRateText(ini.ReadString(kSection, u"TaxNew"_s, kDefaultTaxNew), kDefaultTaxNew));
    Edit_My->setText(ini.ReadString(kSection, u"OP023My"_s, QString()));
    Edit_MyZip->setText(ini.ReadString(kSection, u"OP023MyZIP "_s, QString()));
    Edit_MyADD1->setText(ini.ReadString(kSection, u"OP023MyADD1"_s, QString()));
    Edit_MyADD2->setText(ini.ReadString(kSection, u"OP023MyADD2"_s, QString()));
    Edit_MyTEL->setText(ini.ReadString(kSection, u"OP023MyTEL"_s, QString()));
    Edit_Zip->setText(ini.ReadString(kSection, u"E_ZIP"_s, QString()));
    Edit_Add1->setText(ini.ReadString(kSection, u"E_AD1"_s, QString()));
    Edit_Add2->setText(ini.ReadString(kSection, u"E_AD2"_s, QString()));
    Edit_Add3->setText(ini.ReadString(kSection, u"E_AD3"_s, QString()));
    Edit_Custo1->setText(ini.ReadString(kSection, u"E_CUS"_s, QString()));
    Edit_tel->setText(ini.ReadString(kSection, u"E_TEL"_s, QString()));
    for (int k = 1; k <= 6; ++k)
        Edit_G[k]->setText(ini.ReadString(kSection, u"E_G"_s + QString::number(k), QString()));
    for (int k = 1; k <= 9; ++k)
        Edit_Remark[k]->setText(ini.ReadString(kSection, u"E_Rm"_s + QString::number(k), QString()));
    Edit_021[0]->setText(ini.ReadString(kSection, u"E_021_0"_s, u"納品書　兼　請求書"_s));
    for (int k = 1; k <= 5; ++k)
        Edit_021[k]->setText(ini.ReadString(kSection, u"E_021_"_s + QString::number(k), QString()));
    ZuNumEdit_KOSUU->setText(ini.ReadString(kSection, u"KOSUU"_s, u"1"_s));
    SetListIndex(ComboBox_SEL, ini.ReadInteger(kSection, u"ComboBox_SEL"_s, 0));
    SetListIndex(ComboBox_ime_Itemno, ini.ReadInteger(kSection, u"ime_Itemno"_s, 0));
    SetListIndex(ComboBox_ime_Item, ini.ReadInteger(kSection, u"ime_Item"_s, 0));
    SetListIndex(ComboBox_ime_Unit, ini.ReadInteger(kSection, u"ime_Unit"_s, 0));
    SetListIndex(ComboBox_Paper, ini.ReadInteger(kSection, u"Comb_Paper"_s, 0));
    CheckBox_NewPage->setChecked(ini.ReadString(kSection, u"NewPage"_s, u"0"_s) != u"0"_s);
    // Any value but 0 (従来方式) reads as 1 (自動判別), a missing key included.
    ComboBox_TransferMode->setCurrentIndex(ini.ReadInteger(kSection, u"TransferMode"_s, 1) == 0 ? 0 : 1);
}

void TForm_Main::WriteShutdownSettings()
{
    ProfileFile ini(SettingsPath());
    ProfileFile::Batch batch(ini);
    writeShutdownSettings(ini);
    batch.commit();
}

// The keys in the order of the shut-down table. The caller's batch puts them on
// disk in one replacement: a refused save leaves the file as it was.
void TForm_Main::writeShutdownSettings(ProfileFile &ini) const
{
    ini.WriteString(kSection, u"TaxOld"_s, ZuNumEdit_TaxOld->text());
    ini.WriteDate(kSection, u"TaxEnforDate"_s, DateTimePicker_TaxEnforDate->date());
    ini.WriteString(kSection, u"TaxNew"_s, ZuNumEdit_TaxNew->text());
    ini.WriteInteger(kSection, u"Addr_Font"_s, ListIndex(ComboBox_FontSize));
    ini.WriteInteger(kSection, u"Addr_FontMy"_s, ListIndex(ComboBox_FontSizeMy));
    ini.WriteInteger(kSection, u"G13_FontSize"_s, Label_Font_1->font().pointSize());
    ini.WriteString(kSection, u"G16_FontName"_s, Label_Font_1->font().family());
    ini.WriteString(kSection, u"E_ZIP"_s, Edit_Zip->text());
    ini.WriteString(kSection, u"E_AD1"_s, Edit_Add1->text());
    ini.WriteString(kSection, u"E_AD2"_s, Edit_Add2->text());
    ini.WriteString(kSection, u"E_AD3"_s, Edit_Add3->text());
    ini.WriteString(kSection, u"E_CUS"_s, Edit_Custo1->text());
    ini.WriteString(kSection, u"E_TEL"_s, Edit_tel->text());
    for (int k = 1; k <= 6; ++k)
        ini.WriteString(kSection, u"E_G"_s + QString::number(k), Edit_G[k]->text());
    for (int k = 1; k <= 9; ++k)
        ini.WriteString(kSection, u"E_Rm"_s + QString::number(k), Edit_Remark[k]->text());
    for (int k = 0; k <= 5; ++k)
        ini.WriteString(kSection, u"E_021_"_s + QString::number(k), Edit_021[k]->text());
    ini.WriteString(kSection, u"KOSUU"_s, ZuNumEdit_KOSUU->text());
    ini.WriteString(kSection, u"OP023My"_s, Edit_My->text());
    ini.WriteString(kSection, u"OP023MyZip"_s, Edit_MyZip->text());
    ini.WriteString(kSection, u"OP023MyADD1"_s, Edit_MyADD1->text());
    ini.WriteString(kSection, u"OP023MyADD2"_s, Edit_MyADD2->text());
    ini.WriteString(kSection, u"OP023MyTEL"_s, Edit_MyTEL->text());
    ini.WriteInteger(kSection, u"ComboBox_SEL"_s, ListIndex(ComboBox_SEL));
    ini.WriteInteger(kSection, u"Tab_My"_s, m_senderNumber);
    ini.WriteInteger(kSection, u"ime_Itemno"_s, ListIndex(ComboBox_ime_Itemno));
    ini.WriteInteger(kSection, u"ime_Item"_s, ListIndex(ComboBox_ime_Item));
    ini.WriteInteger(kSection, u"ime_Unit"_s, ListIndex(ComboBox_ime_Unit));
    ini.WriteString(kSection, u"NewPage"_s, CheckBox_NewPage->isChecked() ? u"1"_s : u"0"_s);
    ini.WriteInteger(kSection, u"Comb_Paper"_s, ListIndex(ComboBox_Paper));
    ini.WriteInteger(kSection, u"TransferMode"_s, ComboBox_TransferMode->currentIndex());
}

namespace {

// The sales-line keys in their stored order: six columns of ten rows.
struct LineKey
{
    const char16_t *key;
    const char16_t *field;
};
constexpr LineKey kLineKeys[] = {
    {u"Edit_ITEMNO", u"Edit_itemNo"}, {u"Edit_ITEM", u"Edit_item"},        {u"Edit_QTY", u"ZuNumEdit_QTY"},
    {u"Edit_Unit", u"Edit_unit"},     {u"Edit_Price", u"ZuNumEdit_Price"}, {u"Edit_Sales", u"ZuNumEdit_Sales"},
};

QString fieldText(const QWidget *w)
{
    if (auto *e = qobject_cast<const QLineEdit *>(w))
        return e->text();
    if (auto *n = qobject_cast<const TZuNumEdit *>(w))
        return n->text();
    return QString();
}

void setFieldText(QWidget *w, const QString &text)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->setText(text);
    else if (auto *n = qobject_cast<TZuNumEdit *>(w))
        n->setText(text);
}

} // namespace

void TForm_Main::SpeedButton_ini_s2wClick()
{
    ProfileFile ini(SettingsPath());
    ProfileFile::Batch batch(ini);
    writeSalesLines(ini);
    batch.commit();
}

void TForm_Main::writeSalesLines(ProfileFile &ini) const
{
    for (const LineKey &k : kLineKeys) {
        for (int n = 1; n <= kRows; ++n) {
            const QString num = QString::number(n);
            const QWidget *w = findChild<QWidget *>(QString::fromUtf16(k.field) + num);
            ini.WriteString(kSection, QString::fromUtf16(k.key) + num, fieldText(w));
        }
    }
}

void TForm_Main::SpeedButton_ini_s2rClick()
{
    ProfileFile ini(SettingsPath());
    for (const LineKey &k : kLineKeys) {
        for (int n = 1; n <= kRows; ++n) {
            const QString num = QString::number(n);
            QWidget *w = findChild<QWidget *>(QString::fromUtf16(k.field) + num);
            setFieldText(w, ini.ReadString(kSection, QString::fromUtf16(k.key) + num, QString()));
        }
    }
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
    ini.WriteInteger(kSection, u"ime_Itemno"_s, ListIndex(ComboBox_ime_Itemno));
    ini.WriteInteger(kSection, u"ime_Item"_s, ListIndex(ComboBox_ime_Item));
    ini.WriteInteger(kSection, u"ime_Unit"_s, ListIndex(ComboBox_ime_Unit));
    batch.commit();
}
