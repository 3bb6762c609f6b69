#include "printsetup/TForm_SLIP97YPrn.h"

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "printsetup/PrintPositionHost.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"

#include <QDir>
#include <QKeyEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SLIP97YPrn::TForm_SLIP97YPrn(PrintPositionHost *host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setupUi(this, host->hostWindow()->font());
    // Enter and the arrow keys of the offset fields pass through their key-down
    // handlers first.
    ZuNumEdit_TOP->installEventFilter(this);
    ZuNumEdit_LEFT->installEventFilter(this);
    // Enter on the register button presses it, as Space does.
    BitBtn_MRGN->installEventFilter(this);
    connect(BitBtn_MRGN, &QPushButton::clicked, this, vuzo::Guarded(this, &TForm_SLIP97YPrn::BitBtn_MRGNClick));
}

void TForm_SLIP97YPrn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    vuzo::Guard(this, [this] { FormShow(); });
}

void TForm_SLIP97YPrn::FormShow()
{
    // The window's outer size, frame and title bar included, shows the margin
    // group and the button.
    const QSize outer(190, 160);
    setFixedSize(outer - (frameGeometry().size() - geometry().size()));
    move(m_host->hostWindow()->frameGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
    ZuNumEdit_TOP->setText(m_host->printTopText());
    ZuNumEdit_LEFT->setText(m_host->printLeftText());
    ZuNumEdit_TOP->setFocus(Qt::OtherFocusReason);
}

void TForm_SLIP97YPrn::ZuNumEdit_TOPKeyDown(int &key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        key = 0;
    }
}

void TForm_SLIP97YPrn::ZuNumEdit_LEFTKeyDown(int &key)
{
    if (key == Qt::Key_Up) {
        focusPreviousChild();
        key = 0;
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        focusNextChild();
        key = 0;
    }
}

bool TForm_SLIP97YPrn::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched == BitBtn_MRGN) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            BitBtn_MRGN->click();
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && (watched == ZuNumEdit_TOP || watched == ZuNumEdit_LEFT)) {
        int key = static_cast<QKeyEvent *>(event)->key();
        vuzo::Guard(this, [&] {
            if (watched == ZuNumEdit_TOP)
                ZuNumEdit_TOPKeyDown(key);
            else
                ZuNumEdit_LEFTKeyDown(key);
        });
        return key == 0;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm_SLIP97YPrn::BitBtn_MRGNClick()
{
    const QString section = m_host->paperFeedSection();
    // An offset beyond what any form needs, or a lone minus sign, would make
    // every later print fail or land off the page: it is refused here.
    for (TZuNumEdit *field : {ZuNumEdit_TOP, ZuNumEdit_LEFT}) {
        if (!limits::TypedOffset(field->text())) {
            vuzo::Dialogs().notice(this, limits::OffsetRangeMessage(field->accessibleName()));
            field->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    if (!vuzo::Dialogs().confirm(this, u"印字位置調整の余白を登録しますか?"_s))
        return;
    {
        ProfileFile ini(QDir::currentPath() + u"/vuzo_a500.ini"_s);
        ProfileFile::Batch batch(ini);
        ini.WriteString(section, u"PrnName"_s, m_host->printerName());
        ini.WriteString(section, u"PrnNoIndex"_s, m_host->printerIndexText());
        ini.WriteString(section, u"denPrn_Top"_s, ZuNumEdit_TOP->text());
        ini.WriteString(section, u"denPrn_Left"_s, ZuNumEdit_LEFT->text());
        batch.commit();
    }
    m_host->setPrintOffsets(ZuNumEdit_TOP->text(), ZuNumEdit_LEFT->text());
    accept();
}
