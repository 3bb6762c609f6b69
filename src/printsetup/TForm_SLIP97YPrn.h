#pragma once
// The print position adjustment window: the top and left print offsets of
// the chosen paper feed, in device pixels, stored with that feed's printer in
// vuzo_a500.ini. Its controls are described in TForm_SLIP97YPrnUi and are its
// own; it learns the feed, the printer and the offsets in force from its host.

#include "printsetup/TForm_SLIP97YPrnUi.h"

#include <QDialog>
#include <optional>
#include <utility>

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
    // Prints the alignment sheet on the registered printer at the offsets
    // the fields hold now (stored or not).
    void BitBtn_AlignClick();
    // The offsets in pixels follow an edit of the millimetres and the other
    // way round, each at the resolution of its direction.
    void ZuNumEdit_PixelsChange(TZuNumEdit *pixels, TZuNumEdit *mm, int dpi);
    void ZuNumEdit_MmChange(TZuNumEdit *mm, TZuNumEdit *pixels, int dpi);
    // Both offsets, or nullopt after telling the operator which one is not
    // a whole number within the range.
    std::optional<std::pair<int, int>> typedOffsets();
    void ZuNumEdit_TOPKeyDown(int &key);
    void ZuNumEdit_LEFTKeyDown(int &key);

    PrintPositionHost *m_host;
    // The effective resolution of the registered printer, as the print
    // command computes it; 600 dpi when no printer tells it.
    int m_dpiX = 600;
    int m_dpiY = 600;
};
