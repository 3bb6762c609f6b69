#pragma once
// The hidden holder of the slip print routine. It is never shown; it asks the
// main window for the slip's inputs and draws one slip on the open print job's
// page.

#include <QWidget>

class TForm_Main;
struct SlipInputs;

class TWb_d97_Dot : public QWidget
{
    Q_OBJECT
public:
    explicit TWb_d97_Dot(TForm_Main *main, QWidget *parent = nullptr);

    // Draws one copy of the slip on the current page of the open job of the
    // printer object. A print offset that is not an integer raises the
    // conversion error before anything is drawn.
    void SLIP97_Prn();

    // The layout's inputs as the main window's fields hold them now. A
    // resolution or print offset caption that is not an integer raises the
    // conversion error (ParsePrintGeometry).
    SlipInputs Inputs() const;

private:
    TForm_Main *m_main;
};
