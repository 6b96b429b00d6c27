#include "OsservatoreRilasci.h"

#include <QCoreApplication>
#include <QKeyEvent>

OsservatoreRilasci &OsservatoreRilasci::istanza()
{
    static OsservatoreRilasci *osservatore = new OsservatoreRilasci;
    return *osservatore;
}

OsservatoreRilasci::OsservatoreRilasci() : QObject(QCoreApplication::instance())
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool OsservatoreRilasci::eventFilter(QObject *oggetto, QEvent *evento)
{
    // A release travelling up the parents is seen more than once; clearing a guard twice is harmless.
    if (evento->type() == QEvent::KeyRelease && oggetto->isWidgetType()) {
        if (!static_cast<QKeyEvent *>(evento)->isAutoRepeat())
            emit tastoRilasciato();
    } else if (evento->type() == QEvent::MouseButtonRelease && oggetto->isWidgetType()) {
        emit mouseRilasciato();
    }
    return false;
}
