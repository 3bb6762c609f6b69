#pragma once
// Every message box of the program goes through one service, so tests can
// answer them and the real program shows them the same way everywhere:
// no icon, captioned with the application title, centred.

#include <QString>
#include <memory>

class QWidget;

class DialogService
{
public:
    virtual ~DialogService() = default;
    // Yes/No question; true only for Yes (closing the box counts as No).
    virtual bool confirm(QWidget *parent, const QString &text) = 0;
    // A choice between going on and going back, with the buttons captioned
    // `proceed` and `back`; going back is the default button and the answer
    // for Escape or closing the box. True only for `proceed`. A service that
    // knows no captioned buttons asks it as a Yes/No question.
    virtual bool choose(QWidget *parent, const QString &text, const QString &proceed, const QString &back)
    {
        Q_UNUSED(proceed);
        Q_UNUSED(back);
        return confirm(parent, text);
    }
    // Notice with an OK button.
    virtual void notice(QWidget *parent, const QString &text) = 0;
    // The error box for an error that no handler caught.
    virtual void error(QWidget *parent, const QString &text) = 0;
    // Asks where to save a file, starting at proposedPath; filter names the
    // kinds of file offered ("PDF (*.pdf)"). The empty text when the operator
    // cancels.
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedPath,
                                 const QString &filter) = 0;
    // Asks which existing file to open, starting in startDir; filter as
    // above. The empty text when the operator cancels.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &startDir,
                                 const QString &filter) = 0;
};

namespace vuzo {

// The application title: it keys the single-instance guard and captions the
// message boxes. It is deliberately not Qt's application display name, which
// Qt would append to every window title.
QString ApplicationTitle();

DialogService &Dialogs();
// Replaces the service (tests install a scripted one); returns the previous.
std::unique_ptr<DialogService> SetDialogs(std::unique_ptr<DialogService> service);

// The real service: QMessageBox without icon.
std::unique_ptr<DialogService> MakeMessageBoxDialogs();

// Once the program has been asked to end (a logout, a kill), the real service
// shows no more boxes: a question is answered No and a notice or an error goes
// to the standard error stream, so nothing holds up the orderly end.
void SetClosingDown(bool closing);
bool ClosingDown();

} // namespace vuzo
