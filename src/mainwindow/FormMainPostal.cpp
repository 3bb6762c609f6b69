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
#include "session/PostalAssist.h"
#include "settings/ProfileFile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {
constexpr int kPreloadDelayMs = 500;
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
        folder = session::PostalAssist::DictionaryFolder(ini, Label_CurrentDir->text());
    }
    m_postal = std::make_unique<session::PostalAssist>(folder);
    // Arrives queued from the loading thread: the address restored from the
    // settings file is checked as soon as the dictionary is there.
    connect(
        &m_postal->dictionary(), &postal::PostalDictionary::loadFinished, this,
        [this] { vuzo::Guard(this, [this] { PostalCheck(); }); }, Qt::QueuedConnection);
    // The load starts when the window has settled, so it takes nothing from
    // the start-up; a code used before that starts it at once.
    QTimer::singleShot(kPreloadDelayMs, this, [this] { m_postal->dictionary().startLoading(); });
}

const transfer::PostalLookup *TForm_Main::transferLookup()
{
    if (m_postalLookup)
        return m_postalLookup;
    return m_postal ? m_postal->lookup() : nullptr;
}

void TForm_Main::Edit_ZipPostalFill()
{
    if (m_postal)
        PostalOfferMade(m_postal->codeOffer(Edit_Zip->text(), Edit_Add1->text()));
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
    if (!m_postal) {
        if (!vuzo::Trim(Edit_Zip->text()).isEmpty() || vuzo::Trim(Edit_Add1->text()).isEmpty())
            QApplication::beep();
        return;
    }
    PostalOfferMade(m_postal->addressOffer(Edit_Zip->text(), Edit_Add1->text()));
}

void TForm_Main::PostalOfferMade(const session::PostalOffer &offer)
{
    using Kind = session::PostalOffer::Kind;
    switch (offer.kind) {
    case Kind::Nothing: break;
    case Kind::Unavailable:
        if (const QString notice = m_postal->takeMissingNotice(); !notice.isEmpty())
            vuzo::Dialogs().notice(this, notice);
        break;
    case Kind::Beep: QApplication::beep(); break;
    case Kind::Help: setHelp(offer.text); break;
    case Kind::Address: PostalSetAddress(offer.text); break;
    case Kind::Code: Edit_Zip->setText(offer.text); break;
    case Kind::Choices:
        if (!offer.text.isEmpty())
            setHelp(offer.text);
        m_postalOffer = offer;
        m_postalChoice->open(offer.lines, Edit_Add1);
        break;
    }
}

void TForm_Main::PostalChoiceMade(int index)
{
    const session::PostalOffer offer = std::exchange(m_postalOffer, {});
    if (const QString chosen = offer.chosenText(index); !chosen.isEmpty()) {
        if (offer.forCode)
            PostalSetAddress(chosen);
        else
            Edit_Zip->setText(chosen);
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
    const QString warning = m_postal ? m_postal->warning(Edit_Zip->text(), Edit_Add1->text()) : QString();
    Label_ZipWarning->setToolTip(warning);
    Label_ZipWarning->setText(
        Label_ZipWarning->fontMetrics().elidedText(warning, Qt::ElideRight, Label_ZipWarning->width()));
}
