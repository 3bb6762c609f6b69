#pragma once
// The print position adjustment window: the top and left print offsets of
// the chosen paper feed, in device pixels, stored with that feed's printer in
// vuzo_a500.ini.

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class PrintPositionHost;
class TZuNumEdit;

class TForm_SLIP97YPrn : public QDialog
{
    Q_OBJECT
public:
    explicit TForm_SLIP97YPrn(PrintPositionHost *host, QWidget *parent = nullptr);

    void FormShow();
    void BitBtn_MRGNClick();
    void ZuNumEdit_TOPKeyDown(int &key);
    void ZuNumEdit_LEFTKeyDown(int &key);

    QGroupBox *GroupBox1 = nullptr;
    TZuNumEdit *ZuNumEdit_TOP = nullptr;
    TZuNumEdit *ZuNumEdit_LEFT = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *BitBtn_MRGN = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PrintPositionHost *m_host;
};
