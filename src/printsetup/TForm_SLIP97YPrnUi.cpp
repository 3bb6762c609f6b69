// The print position window's controls: places, captions, face, names and tab
// order. No behaviour here; TForm_SLIP97YPrn wires the controls after they are
// built.

#include "printsetup/TForm_SLIP97YPrnUi.h"

#include "controls/TZuNumEdit.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

void TForm_SLIP97YPrnUi::setupUi(QDialog *dialog, const QFont &face)
{
    dialog->setObjectName(u"Form_SLIP97YPrn"_s);
    dialog->setWindowTitle(u"印字位置調整"_s);
    dialog->setModal(true);
    // The main window's face at a size that fits the small fixed window: the
    // captions and a nine-digit offset with its separators stay readable
    // inside 190 x 160 pixels.
    QFont small = face;
    small.setPixelSize(12);
    dialog->setFont(small);

    GroupBox1 = new QGroupBox(u"印字位置調整セット"_s, dialog);
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
        return f;
    };
    ZuNumEdit_TOP = offset(u"ZuNumEdit_TOP"_s, 26);
    ZuNumEdit_LEFT = offset(u"ZuNumEdit_LEFT"_s, 56);
    ZuNumEdit_TOP->setAccessibleName(u"TOPﾏｰｼﾞﾝ"_s);
    ZuNumEdit_LEFT->setAccessibleName(u"LEFTﾏｰｼﾞﾝ"_s);
    BitBtn_MRGN = new QPushButton(u"印字位置登録"_s, dialog);
    BitBtn_MRGN->setObjectName(u"BitBtn_MRGN"_s);
    BitBtn_MRGN->setGeometry(30, 98, 130, 26);
    BitBtn_MRGN->setAutoDefault(false);
    QWidget::setTabOrder(ZuNumEdit_TOP, ZuNumEdit_LEFT);
    QWidget::setTabOrder(ZuNumEdit_LEFT, BitBtn_MRGN);
}
