#include "AmbienteTest.h"

#include "ui/Messaggio.h"
#include "ui/RegistroFinestre.h"

#include <QCoreApplication>
#include <QTest>

namespace AmbienteTest {

void chiudiTutto()
{
    RegistroFinestre::istanza().chiudiTutto();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QStringList &messaggi()
{
    static QStringList elenco;
    return elenco;
}

void registraMessaggi()
{
    messaggi().clear();
    Messaggio::impostaRegistratore([](const QString &testo) { messaggi().append(testo); });
}

void elabora(int millisecondi)
{
    QCoreApplication::processEvents();
    if (millisecondi > 0)
        QTest::qWait(millisecondi);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace AmbienteTest
