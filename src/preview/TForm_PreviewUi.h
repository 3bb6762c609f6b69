#pragma once
// The preview window as it looks: the zoom buttons, the page in a scroll
// area, and the print, PDF and close buttons. setupUi() builds them and
// nothing more; TForm_Preview wires them.

class QDialog;
class QLabel;
class QPushButton;
class QScrollArea;
class QToolButton;

class TForm_PreviewUi
{
public:
    void setupUi(QDialog *dialog);

    QToolButton *SpeedButton_ZoomFit = nullptr;
    QToolButton *SpeedButton_Zoom100 = nullptr;
    QToolButton *SpeedButton_Zoom200 = nullptr;
    QToolButton *SpeedButton_Invoice = nullptr; // shows the invoice sheet instead of the slip
    QLabel *Label_Warning = nullptr;
    QLabel *Label_PageInfo = nullptr;
    QScrollArea *ScrollBox_Page = nullptr;
    QLabel *Image_Page = nullptr;
    QPushButton *BitBtn_Print = nullptr;
    QPushButton *BitBtn_SavePdf = nullptr;
    QPushButton *BitBtn_Close = nullptr;
};
