#include "AmbienteTest.h"

#include "ui/Messaggio.h"
#include "ui/RegistroFinestre.h"
#include "worksheets/frmStampaSchede.h"
#include "worksheets/frmStampaSchede2.h"
#include "worksheets/frmStampaSchede3.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Settings the program writes (the voice switched on) land in a folder of the
// test's own, never in the user's configuration; the system-wide ones (the lab's
// register server) are read from a folder of the test's own too.
void impostazioniTemporanee()
{
    static QTemporaryDir cartella;
    const QString percorso = cartella.isValid() ? cartella.path() : QStringLiteral("/nonexistent");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, percorso);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, percorso);
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, percorso + QStringLiteral("/sistema"));
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, percorso + QStringLiteral("/sistema"));
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
    // The data folder too (the register's outboxes), whatever the session set it to.
    qputenv("XDG_DATA_HOME", (casa.path() + QStringLiteral("/.local/share")).toUtf8());
    return casa.path();
}

unsigned seme(unsigned predefinito)
{
    const unsigned s =
        qEnvironmentVariableIsSet("QUORVEL_SEME") ? qEnvironmentVariableIntValue("QUORVEL_SEME") : predefinito;
    qInfo("seme %u (QUORVEL_SEME)", s);
    return s;
}

void elabora(int millisecondi)
{
    QCoreApplication::processEvents();
    if (millisecondi > 0)
        QTest::qWait(millisecondi);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace AmbienteTest

void AmbienteTest::righeTipiScheda()
{
    QTest::addColumn<int>("tipo");
    QTest::newRow("vuoto") << 1;
    QTest::newRow("aggiungi") << 2;
    QTest::newRow("togli") << 3;
}

FinestraScheda *AmbienteTest::finestraScheda(int tipo)
{
    if (tipo == 1)
        return &frmStampaSchede::istanza();
    if (tipo == 2)
        return &frmStampaSchede2::istanza();
    return &frmStampaSchede3::istanza();
}
