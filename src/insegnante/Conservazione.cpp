#include "Conservazione.h"

#include "insegnante/Riepilogo.h"

#include <QSettings>

namespace Conservazione {

namespace {

QString chiave(const QString &identita) { return QStringLiteral("registro/conservazioneOfferta/") + identita; }

int inizio(QDate giorno) { return Riepilogo::Periodo::annoScolastico(giorno).dal.year(); }

} // namespace

QDate primoGiornoTenuto(QDate oggi, int anniScolastici)
{
    return Riepilogo::Periodo::annoScolastico(oggi).dal.addYears(-(qMax(1, anniScolastici) - 1));
}

QString nomeAnnoScolastico(QDate giorno)
{
    const int anno = inizio(giorno);
    return QStringLiteral("%1/%2").arg(anno).arg((anno + 1) % 100, 2, 10, QLatin1Char('0'));
}

bool daOffrire(const QString &identita, QDate oggi)
{
    // A register not reached has no id: nothing could be erased from it anyway.
    if (identita.isEmpty())
        return false;
    const QSettings impostazioni(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    return impostazioni.value(chiave(identita), 0).toInt() < inizio(oggi);
}

void offerta(const QString &identita, QDate oggi)
{
    if (identita.isEmpty())
        return;
    QSettings impostazioni(QStringLiteral("Quorvel"), QStringLiteral("Quorvel"));
    impostazioni.setValue(chiave(identita), inizio(oggi));
}

} // namespace Conservazione
