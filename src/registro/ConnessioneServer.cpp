#include "ConnessioneServer.h"

#include <QSqlError>
#include <QUrl>
#include <QUrlQuery>

namespace {

QString citato(const QString &valore)
{
    QString v = valore;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

// The value of `chiave` in a key=value connection string, or empty.
QString valoreDi(const QString &conninfo, const QString &chiave)
{
    int i = 0;
    const int n = int(conninfo.size());
    while (i < n) {
        while (i < n && conninfo[i].isSpace())
            ++i;
        const int inizio = i;
        while (i < n && conninfo[i] != QLatin1Char('=') && !conninfo[i].isSpace())
            ++i;
        const QString k = conninfo.mid(inizio, i - inizio);
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i < n && conninfo[i] == QLatin1Char('='))
            ++i;
        while (i < n && conninfo[i].isSpace())
            ++i;
        QString v;
        if (i < n && conninfo[i] == QLatin1Char('\'')) {
            for (++i; i < n && conninfo[i] != QLatin1Char('\''); ++i) {
                if (conninfo[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                v += conninfo[i];
            }
            ++i;
        } else {
            while (i < n && !conninfo[i].isSpace())
                v += conninfo[i++];
        }
        if (k == chiave)
            return v;
        if (k.isEmpty())
            break;
    }
    return {};
}

} // namespace

bool ConnessioneServer::eServer(const QString &valore)
{
    return valore.contains(QLatin1Char('=')) || valore.startsWith(QLatin1String("postgresql://")) ||
           valore.startsWith(QLatin1String("postgres://"));
}

QString ConnessioneServer::normalizza(const QString &conninfo, QString *errore)
{
    const QString testo = conninfo.trimmed();
    // QPSQL turns every ';' of its connect options into a blank.
    if (testo.contains(QLatin1Char(';'))) {
        *errore = QStringLiteral("la stringa di connessione non può contenere \";\"");
        return {};
    }
    if (!testo.startsWith(QLatin1String("postgresql://")) && !testo.startsWith(QLatin1String("postgres://"))) {
        if (testo.isEmpty() || !testo.contains(QLatin1Char('='))) {
            *errore = QStringLiteral("stringa di connessione non valida: \"%1\"").arg(testo);
            return {};
        }
        return testo;
    }
    // libpq reads a URI only as the whole string; QPSQL appends its options to its own, so spell it out.
    const QUrl url(testo, QUrl::StrictMode);
    if (!url.isValid() || url.host().contains(QLatin1Char(','))) {
        *errore = QStringLiteral("indirizzo del server non valido: \"%1\"").arg(testo);
        return {};
    }
    QStringList parti;
    if (!url.host().isEmpty())
        parti << QStringLiteral("host=") + citato(url.host(QUrl::FullyDecoded));
    if (url.port() > 0)
        parti << QStringLiteral("port=%1").arg(url.port());
    const QString db = url.path(QUrl::FullyDecoded).mid(1);
    if (!db.isEmpty())
        parti << QStringLiteral("dbname=") + citato(db);
    if (!url.userName().isEmpty())
        parti << QStringLiteral("user=") + citato(url.userName(QUrl::FullyDecoded));
    if (!url.password().isEmpty())
        parti << QStringLiteral("password=") + citato(url.password(QUrl::FullyDecoded));
    const auto coppie = QUrlQuery(url).queryItems(QUrl::FullyDecoded);
    for (const auto &[chiave, valore] : coppie)
        parti << chiave + QLatin1Char('=') + citato(valore);
    if (parti.isEmpty()) {
        *errore = QStringLiteral("indirizzo del server non valido: \"%1\"").arg(testo);
        return {};
    }
    return parti.join(QLatin1Char(' '));
}

bool ConnessioneServer::apri(const QString &nome, const QString &conninfo, QSqlDatabase *db, QString *errore,
                             int attesa)
{
    const QString normale = normalizza(conninfo, errore);
    if (normale.isEmpty())
        return false;
    *db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
    if (!db->isValid()) {
        *errore = QStringLiteral("manca il driver PostgreSQL di Qt (pacchetto libqt6sql6-psql)");
        return false;
    }
    // Later keys win in libpq: the administrator's own values override these.
    db->setConnectOptions(QStringLiteral("connect_timeout=%1 application_name=quorvel ").arg(attesa) + normale);
    if (!db->open()) {
        *errore = QStringLiteral("il server del registro (%1) non risponde: %2")
                      .arg(descrivi(conninfo), db->lastError().databaseText().trimmed());
        return false;
    }
    return true;
}

QString ConnessioneServer::descrivi(const QString &conninfo)
{
    QString errore;
    const QString normale = normalizza(conninfo, &errore);
    if (normale.isEmpty())
        return conninfo.section(QLatin1Char('@'), -1);
    const QString servizio = valoreDi(normale, QStringLiteral("service"));
    const QString db = valoreDi(normale, QStringLiteral("dbname"));
    const QString host = valoreDi(normale, QStringLiteral("host"));
    QString testo = !db.isEmpty() ? db : !servizio.isEmpty() ? QStringLiteral("servizio ") + servizio : QString();
    if (!host.isEmpty())
        testo += (testo.isEmpty() ? QString() : QStringLiteral(" su ")) + host;
    return testo.isEmpty() ? QStringLiteral("predefinito") : testo;
}
