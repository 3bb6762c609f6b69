#include "preview/TForm_PreviewUi.h"

#include <QButtonGroup>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

void TForm_PreviewUi::setupUi(QDialog *dialog)
{
    dialog->setObjectName(u"Form_Preview"_s);
    dialog->setWindowTitle(u"印刷プレビュー"_s);
    dialog->setModal(true);
    dialog->resize(760, 900);

    auto *layout = new QVBoxLayout(dialog);
    auto *bar = new QHBoxLayout;
    auto *zoomGroup = new QButtonGroup(dialog);
    auto zoom = [&](const QString &name, const QString &caption) {
        auto *b = new QToolButton(dialog);
        b->setObjectName(name);
        b->setText(caption);
        b->setCheckable(true);
        b->setFocusPolicy(Qt::NoFocus);
        zoomGroup->addButton(b);
        bar->addWidget(b);
        return b;
    };
    SpeedButton_ZoomFit = zoom(u"SpeedButton_ZoomFit"_s, u"全体表示"_s);
    SpeedButton_Zoom100 = zoom(u"SpeedButton_Zoom100"_s, u"100%"_s);
    SpeedButton_Zoom200 = zoom(u"SpeedButton_Zoom200"_s, u"200%"_s);
    SpeedButton_ZoomFit->setChecked(true);
    bar->addSpacing(12);
    SpeedButton_Invoice = new QToolButton(dialog);
    SpeedButton_Invoice->setObjectName(u"SpeedButton_Invoice"_s);
    SpeedButton_Invoice->setText(u"請求書"_s);
    SpeedButton_Invoice->setToolTip(u"納品書兼請求書を表示します（もう一度押すと伝票に戻ります）"_s);
    SpeedButton_Invoice->setCheckable(true);
    SpeedButton_Invoice->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(SpeedButton_Invoice);
    Label_PageInfo = new QLabel(dialog);
    Label_PageInfo->setObjectName(u"Label_PageInfo"_s);
    bar->addSpacing(12);
    bar->addWidget(Label_PageInfo, 1);
    layout->addLayout(bar);
    // What would not print as shown; hidden while everything fits.
    Label_Warning = new QLabel(dialog);
    Label_Warning->setObjectName(u"Label_Warning"_s);
    Label_Warning->setWordWrap(true);
    Label_Warning->setStyleSheet(u"color: #b00000;"_s);
    Label_Warning->hide();
    layout->addWidget(Label_Warning);

    ScrollBox_Page = new QScrollArea(dialog);
    ScrollBox_Page->setObjectName(u"ScrollBox_Page"_s);
    ScrollBox_Page->setAlignment(Qt::AlignCenter);
    ScrollBox_Page->setBackgroundRole(QPalette::Dark);
    Image_Page = new QLabel;
    Image_Page->setObjectName(u"Image_Page"_s);
    ScrollBox_Page->setWidget(Image_Page);
    layout->addWidget(ScrollBox_Page, 1);

    auto *buttons = new QHBoxLayout;
    auto button = [&](const QString &name, const QString &caption) {
        auto *b = new QPushButton(caption, dialog);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    BitBtn_Print = button(u"BitBtn_Print"_s, u"印刷"_s);
    BitBtn_SavePdf = button(u"BitBtn_SavePdf"_s, u"PDF保存"_s);
    BitBtn_Close = button(u"BitBtn_Close"_s, u"閉じる"_s);
    layout->addLayout(buttons);
}
