#include "AmbienteTest.h"

#include "ui/Messaggio.h"
#include "ui/RegistroFinestre.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Settings the program writes (the voice switched on) land in a folder of the
// test's own, never in the user's configuration.
void impostazioniTemporanee()
{
    static QTemporaryDir cartella;
    const QString percorso = cartella.isValid() ? cartella.path() : QStringLiteral("/nonexistent");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, percorso);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, percorso);
}
Q_COREAPP_STARTUP_FUNCTION(impostazioniTemporanee)

} // namespace

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

QString casaTemporanea()
{
    static QTemporaryDir casa;
    if (!casa.isValid())
        return {};
    qputenv("HOME", casa.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (casa.path() + QStringLiteral("/config")).toUtf8());
    return casa.path();
}

void elabora(int millisecondi)
{
    QCoreApplication::processEvents();
    if (millisecondi > 0)
        QTest::qWait(millisecondi);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace AmbienteTest
