// The two help buttons: ? opens the operator's manual, E-Mail writes to the
// support address named in the settings file.

#include "controls/DialogService.h"
#include "mainwindow/TForm_Main.h"
#include "platform/ProgramFiles.h"
#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = session::SlipSection();

// A plain address (name@domain): anything a mail link could not carry as its
// path, blanks, a second "@", brackets, "?", "&" and the like, is refused, so
// a mistyped value never becomes a broken message.
bool IsMailAddress(const QString &text)
{
    static const QRegularExpression address(uR"(^[^\s@<>()\[\],;:"?&/\\]+@[^\s@<>()\[\],;:"?&/\\]+$)"_s);
    return address.match(text).hasMatch();
}

} // namespace

void TForm_Main::SendMail_CHK()
{
    ProfileFile ini(SettingsPath());
    const QString mail = ini.ReadString(kSection, u"SupportMail"_s, QString());
    m_supportMail = IsMailAddress(mail) ? mail : QString();
    BitBtn_SendMail->setEnabled(!m_supportMail.isEmpty());
    if (!m_supportMail.isEmpty())
        BitBtn_SendMail->setToolTip(m_supportMail);
    else if (mail.isEmpty())
        BitBtn_SendMail->setToolTip(u"問い合わせ先のメールアドレスが設定されていません。"
                                    u"vuzo_Vez_1.ini の [vz_Vez_1prn] に SupportMail=アドレス を書くと使えます"_s);
    else
        BitBtn_SendMail->setToolTip(u"vuzo_Vez_1.ini の SupportMail「"_s + mail +
                                    u"」はメールアドレスとして使えません"_s);
}

void TForm_Main::BitBtn_WebHelpClick()
{
    const QString manual = vuzo::ManualIndexPath(QCoreApplication::applicationDirPath());
    if (manual.isEmpty()) {
        vuzo::Dialogs().notice(this, u"操作説明書が見つかりません。プログラムを入れ直してください"_s);
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(manual)))
        vuzo::Dialogs().notice(this, u"操作説明書を開けません。ブラウザで次のファイルを開いてください:\n"_s + manual);
}

void TForm_Main::BitBtn_SendMailClick()
{
    if (m_supportMail.isEmpty())
        return;
    // mailto:<address>?subject=vuzoへの問い合わせ&cc=&bcc=& , built through
    // QUrl so the Japanese subject is encoded correctly for the mail program.
    QUrl url;
    url.setScheme(u"mailto"_s);
    url.setPath(m_supportMail);
    QUrlQuery query;
    query.addQueryItem(u"subject"_s, u"vuzoへの問い合わせ"_s);
    query.addQueryItem(u"cc"_s, QString());
    query.addQueryItem(u"bcc"_s, QString());
    url.setQuery(query);
    QDesktopServices::openUrl(url);
}
