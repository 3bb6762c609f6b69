// A domain file that reaches for a window and a widget header.
#include "mainwindow/TForm_Main.h"
#include <QtWidgets/QWidget>
