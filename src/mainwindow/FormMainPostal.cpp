// Postal codes in the delivery address: Enter leaving a postal code fills an
// empty おところ① with the code's address, F5 in おところ① finds the code of
// the address typed there, and a warning under the address band tells when
// the code and the beginning of the address do not agree. The dictionary
// (Debian's skkdic-extra, or the folder named by ZipDictDir in the settings
// file) is read in the background from start-up on.

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "mainwindow/PostalChoiceList.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "postal/PostalDictionary.h"
#include "postal/PostalText.h"
#include "settings/ProfileFile.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;
const QString kDictionaryKey = u"ZipDictDir"_s;
constexpr int kPreloadDelayMs = 500;

// A line of the choice list for an address of a code: a business code's
// receiver follows its address.
QString addressLine(const postal::PostalEntry &e)
{
    return e.isOffice ? e.address + u"（"_s + e.office + u"）"_s : e.address;
}

} // namespace

void TForm_Main::PostalSetup()
{
    // The warning has the telephone's row to itself, right of the field, so
    // it never covers the address length warning beside the postal code.
    Label_ZipWarning = new QLabel(Panel1);
    Label_ZipWarning->setObjectName(u"Label_ZipWarning"_s);
    Label_ZipWarning->setGeometry(295, 127, 460, 18);
    Label_ZipWarning->setFont(Label_Warning->font());
    Label_ZipWarning->setPalette(Label_Warning->palette());
    Label_ZipWarning->setAccessibleName(u"郵便番号の警告"_s);

    m_postalChoice = new PostalChoiceList(this);
    connect(m_postalChoice, &PostalChoiceList::chosen, this,
            [this](int index) { vuzo::Guard(this, [&] { PostalChoiceMade(index); }); });
    connect(m_postalChoice, &PostalChoiceList::cancelled, this,
            [this] { vuzo::Guard(this, [&] { PostalChoiceMade(-1); }); });
    connect(Edit_Zip, &QLineEdit::textChanged, this, [this] { vuzo::Guard(this, [this] { PostalCheck(); }); });
    connect(Edit_Add1, &QLineEdit::textChanged, this, [this] { vuzo::Guard(this, [this] { PostalCheck(); }); });
}

void TForm_Main::PostalStart()
{
    QString folder;
    {
        ProfileFile ini(SettingsPath());
        folder = vuzo::Trim(ini.ReadString(kSection, kDictionaryKey, QString()));
    }
    if (folder.isEmpty())
        folder = postal::PostalDictionary::DefaultDirectory();
    else
        folder = QDir(Label_CurrentDir->text()).absoluteFilePath(folder);
    m_postal = std::make_unique<postal::PostalDictionary>(folder);
    // Arrives queued from the loading thread: the address restored from the
    // settings file is checked as soon as the dictionary is there.
    connect(
        m_postal.get(), &postal::PostalDictionary::loadFinished, this,
        [this] { vuzo::Guard(this, [this] { PostalCheck(); }); }, Qt::QueuedConnection);
    // The load starts when the window has settled, so it takes nothing from
    // the start-up; a code used before that starts it at once.
    QTimer::singleShot(kPreloadDelayMs, this, [this] { m_postal->startLoading(); });
}

namespace {

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
        // Two are enough to tell one code from several.
        QStringList codes;
        for (const postal::PostalEntry &e : m_dictionary.matchAddress(address, 2).entries)
            codes << e.code;
        return codes;
    }

private:
    const postal::PostalDictionary &m_dictionary;
};

} // namespace

const transfer::PostalLookup *TForm_Main::transferLookup()
{
    if (m_postalLookup)
        return m_postalLookup;
    // Without the dictionary the transfer works on the text alone; the
    // actions that need it say so themselves.
    if (!m_postal || !m_postal->waitForLoaded())
        return nullptr;
    if (!m_dictionaryLookup)
        m_dictionaryLookup = std::make_unique<DictionaryLookup>(*m_postal);
    return m_dictionaryLookup.get();
}

bool TForm_Main::PostalAvailable()
{
    if (!m_postal)
        return false;
    if (m_postal->waitForLoaded())
        return true;
    if (!m_postalMissingTold) {
        m_postalMissingTold = true;
        vuzo::Dialogs().notice(this, u"郵便番号辞書がありません（%1）。\n"
                                     u"郵便番号と住所の検索を使うには、辞書を導入して下さい:\n"
                                     u"sudo apt install skkdic-extra"_s.arg(m_postal->areaFilePath()));
    }
    return false;
}

void TForm_Main::Edit_ZipPostalFill()
{
    const QString code = postal::NormalizeCode(Edit_Zip->text());
    if (code.isEmpty() || !vuzo::Trim(Edit_Add1->text()).isEmpty() || !PostalAvailable())
        return;
    const QList<postal::PostalEntry> entries = m_postal->entries(code);
    if (entries.isEmpty())
        return; // the warning tells that the code is not in the dictionary
    if (entries.size() == 1) {
        PostalSetAddress(entries.first().address);
        return;
    }
    QStringList lines;
    for (const postal::PostalEntry &e : entries)
        lines << addressLine(e);
    m_postalChoices = entries;
    m_postalChoiceForCode = true;
    m_postalChoice->open(lines, Edit_Add1);
}

void TForm_Main::Edit_Add1KeyDown(QWidget *sender, int &key)
{
    if (key == Qt::Key_F5) {
        key = 0;
        Edit_Add1PostalSearch();
        return;
    }
    FormKeyDown(sender, key);
}

void TForm_Main::Edit_Add1PostalSearch()
{
    const QString address = vuzo::Trim(Edit_Add1->text());
    if (!vuzo::Trim(Edit_Zip->text()).isEmpty() || address.isEmpty()) {
        QApplication::beep();
        return;
    }
    if (!PostalAvailable())
        return;
    const postal::AddressMatch match = m_postal->matchAddress(address, 100);
    if (match.entries.isEmpty()) {
        setHelp(u"おところ①に合う郵便番号が見つかりません"_s);
        return;
    }
    if (match.truncated) {
        setHelp(u"候補が多すぎます。おところ①をもう少し詳しく入力して下さい"_s);
        return;
    }
    bool oneCode = true;
    QStringList lines;
    for (const postal::PostalEntry &e : match.entries) {
        oneCode = oneCode && e.code == match.entries.first().code;
        lines << postal::FormatCode(e.code) + u"　"_s + e.address;
    }
    if (oneCode) {
        Edit_Zip->setText(postal::FormatCode(match.entries.first().code));
        return;
    }
    m_postalChoices = match.entries;
    m_postalChoiceForCode = false;
    m_postalChoice->open(lines, Edit_Add1);
}

void TForm_Main::PostalChoiceMade(int index)
{
    const QList<postal::PostalEntry> choices = std::exchange(m_postalChoices, {});
    if (index >= 0 && index < choices.size()) {
        if (m_postalChoiceForCode)
            PostalSetAddress(choices.at(index).address);
        else
            Edit_Zip->setText(postal::FormatCode(choices.at(index).code));
    }
    Edit_Add1->setFocus(Qt::OtherFocusReason);
    caretToEnd(Edit_Add1);
}

void TForm_Main::PostalSetAddress(const QString &address)
{
    Edit_Add1->setText(address);
    Edit_Add1->setFocus(Qt::OtherFocusReason);
    caretToEnd(Edit_Add1);
    Edit_Warning();
}

void TForm_Main::PostalCheck()
{
    QString warning;
    const QString code = postal::NormalizeCode(Edit_Zip->text());
    // Only a finished code is checked; the dictionary is awaited then (it is
    // read in about a tenth of a second).
    if (!code.isEmpty() && m_postal && m_postal->waitForLoaded()) {
        const QStringList addresses = m_postal->addresses(code);
        const QString typed = vuzo::Trim(Edit_Add1->text());
        if (addresses.isEmpty())
            warning = u"警告:〒%1は郵便番号辞書にありません"_s.arg(postal::FormatCode(code));
        else if (!postal::AddressAgrees(typed, addresses))
            warning = u"警告:郵便番号とおところ①が合いません（〒%1は%2%3）"_s.arg(
                postal::FormatCode(code), addresses.first(), addresses.size() > 1 ? u"など"_s : QString());
    }
    Label_ZipWarning->setToolTip(warning);
    Label_ZipWarning->setText(
        Label_ZipWarning->fontMetrics().elidedText(warning, Qt::ElideRight, Label_ZipWarning->width()));
}
