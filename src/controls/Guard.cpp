#include "controls/Guard.h"

#include "controls/DialogService.h"
#include "platform/Errors.h"

#include <QString>
#include <QWidget>

namespace vuzo {

bool Guard(QWidget *parent, const std::function<void()> &fn)
{
    try {
        fn();
        return true;
    } catch (const EVuzoError &e) {
        Dialogs().error(parent, e.message());
    } catch (const std::exception &e) {
        Dialogs().error(parent, QString::fromUtf8(e.what()));
    }
    return false;
}

} // namespace vuzo
