#include "controls/DialogService.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace vuzo {
namespace {

class MessageBoxDialogs final : public DialogService
{
public:
    bool confirm(QWidget *parent, const QString &text) override
    {
        return run(parent, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
    }
    bool choose(QWidget *parent, const QString &text, const QString &proceed, const QString &back) override
    {
        if (ClosingDown()) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            return false;
        }
        QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::NoButton, parent);
        QPushButton *goOn = box.addButton(proceed, QMessageBox::AcceptRole);
        QPushButton *goBack = box.addButton(back, QMessageBox::RejectRole);
        box.setDefaultButton(goBack);
        box.setEscapeButton(goBack);
        centre(box, parent);
        box.exec();
        return box.clickedButton() == goOn;
    }
    void notice(QWidget *parent, const QString &text) override { run(parent, text, QMessageBox::Ok, QMessageBox::Ok); }
    void error(QWidget *parent, const QString &text) override { run(parent, text, QMessageBox::Ok, QMessageBox::Ok); }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedPath,
                         const QString &filter) override
    {
        if (ClosingDown())
            return QString();
        return QFileDialog::getSaveFileName(parent, caption, proposedPath, filter);
    }
    QString openFileName(QWidget *parent, const QString &caption, const QString &startDir,
                         const QString &filter) override
    {
        if (ClosingDown())
            return QString();
        return QFileDialog::getOpenFileName(parent, caption, startDir, filter);
    }

private:
    static int run(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons,
                   QMessageBox::StandardButton defaultButton)
    {
        if (ClosingDown()) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            return (buttons & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
        }
        QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, buttons, parent);
        box.setDefaultButton(defaultButton);
        if (buttons & QMessageBox::No)
            box.setEscapeButton(QMessageBox::No);
        centre(box, parent);
        return box.exec();
    }

    // Centre on the screen, as the program's boxes always were.
    static void centre(QMessageBox &box, QWidget *parent)
    {
        box.adjustSize();
        if (QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            box.move(area.center() - QPoint(box.width() / 2, box.height() / 2));
        }
    }
};

bool g_closingDown = false;

std::unique_ptr<DialogService> &instance()
{
    static std::unique_ptr<DialogService> service = MakeMessageBoxDialogs();
    return service;
}

} // namespace

QString ApplicationTitle()
{
    return u"◇vuzo_VEZ_1"_s;
}

DialogService &Dialogs()
{
    return *instance();
}

std::unique_ptr<DialogService> SetDialogs(std::unique_ptr<DialogService> service)
{
    std::unique_ptr<DialogService> previous = std::move(instance());
    instance() = std::move(service);
    return previous;
}

std::unique_ptr<DialogService> MakeMessageBoxDialogs()
{
    return std::make_unique<MessageBoxDialogs>();
}

void SetClosingDown(bool closing)
{
    g_closingDown = closing;
}

bool ClosingDown()
{
    return g_closingDown;
}

} // namespace vuzo
