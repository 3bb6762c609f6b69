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
    // captions, a nine-digit offset with its separators and the offsets in
    // millimetres stay readable inside 300 x 190 pixels.
    QFont small = face;
    small.setPixelSize(12);
    dialog->setFont(small);

    GroupBox1 = new QGroupBox(u"印字位置調整セット"_s, dialog);
    GroupBox1->setObjectName(u"GroupBox1"_s);
    GroupBox1->setGeometry(6, 4, 288, 88);
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
    // Beside each offset in pixels, the same offset in millimetres; both take
    // typing. They sit on a panel of their own in the group.
    Panel_Mm = new QWidget(GroupBox1);
    Panel_Mm->setObjectName(u"Panel_Mm"_s);
    Panel_Mm->setGeometry(172, 20, 110, 62);
    auto millimetres = [&](const QString &name, int y) {
        auto *f = new TZuNumEdit(Panel_Mm);
        f->setObjectName(name);
        f->setGeometry(2, y, 74, 22);
        f->setAutoSize(false);
        f->setIntegerLength(4);
        f->setDecimalLength(1);
        f->setAttribute(Qt::WA_InputMethodEnabled, false);
        auto *unit = new QLabel(u"mm"_s, Panel_Mm);
        unit->setGeometry(80, y, 28, 22);
        return f;
    };
    ZuNumEdit_TOPmm = millimetres(u"ZuNumEdit_TOPmm"_s, 6);
    ZuNumEdit_LEFTmm = millimetres(u"ZuNumEdit_LEFTmm"_s, 36);
    ZuNumEdit_TOPmm->setAccessibleName(u"TOPﾏｰｼﾞﾝ(mm)"_s);
    ZuNumEdit_LEFTmm->setAccessibleName(u"LEFTﾏｰｼﾞﾝ(mm)"_s);

    BitBtn_MRGN = new QPushButton(u"印字位置登録"_s, dialog);
    BitBtn_MRGN->setObjectName(u"BitBtn_MRGN"_s);
    BitBtn_MRGN->setGeometry(14, 98, 130, 26);
    BitBtn_MRGN->setAutoDefault(false);
    BitBtn_Align = new QPushButton(u"位置合わせ印刷"_s, dialog);
    BitBtn_Align->setObjectName(u"BitBtn_Align"_s);
    BitBtn_Align->setGeometry(150, 98, 130, 26);
    BitBtn_Align->setAutoDefault(false);
    BitBtn_Align->setToolTip(u"普通紙に用紙の枠とミリ目盛りを印刷します。用紙に重ねて透かし、ずれを測ります"_s);
    Label_Dpi = new QLabel(dialog);
    Label_Dpi->setObjectName(u"Label_Dpi"_s);
    Label_Dpi->setGeometry(14, 128, 266, 20);
    // The pixel fields keep their Enter and Up walk; the millimetre fields
    // and the alignment print follow the register button.
    QWidget::setTabOrder(ZuNumEdit_TOP, ZuNumEdit_LEFT);
    QWidget::setTabOrder(ZuNumEdit_LEFT, BitBtn_MRGN);
    QWidget::setTabOrder(BitBtn_MRGN, ZuNumEdit_TOPmm);
    QWidget::setTabOrder(ZuNumEdit_TOPmm, ZuNumEdit_LEFTmm);
    QWidget::setTabOrder(ZuNumEdit_LEFTmm, BitBtn_Align);
}
