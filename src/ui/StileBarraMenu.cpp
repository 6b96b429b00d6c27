#include "StileBarraMenu.h"

StileBarraMenu::StileBarraMenu(QObject *parent) { setParent(parent); }

int StileBarraMenu::styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                              QStyleHintReturn *returnData) const
{
    if (hint == SH_MenuBar_AltKeyNavigation)
        return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}
