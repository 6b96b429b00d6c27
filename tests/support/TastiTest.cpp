#include "TastiTest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QtTest/qtestspontaneevent.h>

namespace TastiTest {

QString testoDi(Qt::Key tasto)
{
    switch (tasto) {
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("\r");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    case Qt::Key_Escape:
        return QStringLiteral("\x1b");
    default:
        break;
    }
    if (tasto >= Qt::Key_0 && tasto <= Qt::Key_9)
        return QString(QChar('0' + (tasto - Qt::Key_0)));
    if (tasto >= Qt::Key_A && tasto <= Qt::Key_Z)
        return QString(QChar('a' + (tasto - Qt::Key_A)));
    return {};
}

void invia(QWidget *w, QEvent::Type tipo, Qt::Key tasto, bool ripetuto, Qt::KeyboardModifiers m)
{
    QKeyEvent e(tipo, tasto, m, tipo == QEvent::KeyPress ? testoDi(tasto) : QString(), ripetuto);
    QApplication::sendEvent(w, &e);
}

void premi(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m, bool ripetuto)
{
    invia(w, QEvent::KeyPress, tasto, ripetuto, m);
}

void rilascia(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m) { invia(w, QEvent::KeyRelease, tasto, false, m); }

void premiERilascia(QWidget *w, Qt::Key tasto, Qt::KeyboardModifiers m)
{
    premi(w, tasto, m);
    rilascia(w, tasto, m);
}

void tastoDiSistema(QWidget *w, QEvent::Type tipo, Qt::Key tasto, quint64 istante, bool ripetuto, const QString &testo)
{
    QKeyEvent e(tipo, tasto, Qt::NoModifier, testo, ripetuto);
    e.setTimestamp(istante);
    QSpontaneKeyEvent::setSpontaneous(&e);
    qApp->notify(w, &e);
}

} // namespace TastiTest
