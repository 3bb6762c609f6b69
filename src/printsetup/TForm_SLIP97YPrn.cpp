#include "printsetup/TForm_SLIP97YPrn.h"

#include "controls/TZuNumEdit.h"
#include "printsetup/PrintPositionHost.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

TForm_SLIP97YPrn::TForm_SLIP97YPrn(PrintPositionHost *host, QWidget *parent) : QDialog(parent), m_host(host)
{
    setObjectName(u"Form_SLIP97YPrn"_s);
    setWindowTitle(u"印字位置調整"_s);
    setModal(true);
    // The main window's face at a size that fits the small fixed window: the
    // captions and a nine-digit offset with its separators stay readable
    // inside 190 x 160 pixels.
    QFont small = host->hostWindow()->font();
    small.setPixelSize(12);
    setFont(small);

    GroupBox1 = new QGroupBox(u"印字位置調整セット"_s, this);
    GroupBox1->setObjectName(u"GroupBox1"_s);
    GroupBox1->setGeometry(6, 4, 178, 88);
    Label1 = new QLabel(u"TOPﾏｰｼﾞﾝ"_s, GroupBox1);
    Label1->setGeometry(8, 26, 66, 22);
    Label2 = new QLabel(u"LEFTﾏｰｼﾞﾝ"_s, GroupBox1);
    Label2->setGeometry(8, 56, 66, 22);
    auto offset = [&](const QString &name, int y) {
        auto *f = new TZuNumEdit(GroupBox1);
        f->setObjectName(name);
        // Wide enough for the longest number the field takes, -999,999,999.
        f->setGeometry(76, y, 94, 22);
        f->setAutoSize(false);
        // Offsets are whole device pixels: a decimal offset could be stored
        // but never printed, so the fields take whole numbers only.
        f->setDecimalLength(0);
        f->setAttribute(Qt::WA_InputMethodEnabled, false);
        f->installEventFilter(this);
        return f;
    };
    ZuNumEdit_TOP = offset(u"ZuNumEdit_TOP"_s, 26);
    ZuNumEdit_LEFT = offset(u"ZuNumEdit_LEFT"_s, 56);
    ZuNumEdit_TOP->setAccessibleName(u"TOPﾏｰｼﾞﾝ"_s);
    ZuNumEdit_LEFT->setAccessibleName(u"LEFTﾏｰｼﾞﾝ"_s);
    BitBtn_MRGN = new QPushButton(u"印字位置登録"_s, this);
    BitBtn_MRGN->setObjectName(u"BitBtn_MRGN"_s);
    BitBtn_MRGN->setGeometry(30, 98, 130, 26);
    BitBtn_MRGN->setAutoDefault(false);
    setTabOrder(ZuNumEdit_TOP, ZuNumEdit_LEFT);
    setTabOrder(ZuNumEdit_LEFT, BitBtn_MRGN);
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
    if (!vuzo::Dialogs().confirm(this, u"印字位置調整の余白を登録しますか?"_s))
        return;
    {
        ProfileFile ini(QDir::currentPath() + u"/vuzo_a500.ini"_s);
        ini.WriteString(section, u"PrnName"_s, m_host->printerName());
        ini.WriteString(section, u"PrnNoIndex"_s, m_host->printerIndexText());
        ini.WriteString(section, u"denPrn_Top"_s, ZuNumEdit_TOP->text());
        ini.WriteString(section, u"denPrn_Left"_s, ZuNumEdit_LEFT->text());
    }
    m_host->setPrintOffsets(ZuNumEdit_TOP->text(), ZuNumEdit_LEFT->text());
    accept();
}
