#pragma once
// The print position adjustment window: the top and left print offsets of
// the chosen paper feed, in device pixels, stored with that feed's printer in
// vuzo_a500.ini. Its controls are described in TForm_SLIP97YPrnUi and are its
// own; it learns the feed, the printer and the offsets in force from its host.

#include "printsetup/TForm_SLIP97YPrnUi.h"

#include <QDialog>

class PrintPositionHost;

class TForm_SLIP97YPrn : public QDialog, private TForm_SLIP97YPrnUi
{
    Q_OBJECT
public:
    explicit TForm_SLIP97YPrn(PrintPositionHost *host, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormShow();
    void BitBtn_MRGNClick();
    void ZuNumEdit_TOPKeyDown(int &key);
    void ZuNumEdit_LEFTKeyDown(int &key);

    PrintPositionHost *m_host;
};
