#include "ConnessioneServer.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <algorithm>

QString ConnessioneServer::citato(const QString &valore)
{
    QString v = valore;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

namespace {

struct Coppia {
    QString chiave;
    QString valore;
    QString testo; // as written, quotes included
};

// The key=value pairs of a connection string, in order.
QList<Coppia> coppie(const QString &conninfo)
{
    QList<Coppia> elenco;
    int i = 0;
    const int n = int(conninfo.size());
    while (i < n) {
        while (i < n && conninfo[i].isSpace())
            ++i;
        const int inizio = i;
        while (i < n && conninfo[i] != QLatin1Char('=') && !conninfo[i].isSpace())
            ++i;
        Coppia c;
        c.chiave = conninfo.mid(inizio, i - inizio);
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i < n && conninfo[i] == QLatin1Char('='))
            ++i;
        while (i < n && conninfo[i].isSpace())
            ++i;
        if (i < n && conninfo[i] == QLatin1Char('\'')) {
            for (++i; i < n && conninfo[i] != QLatin1Char('\''); ++i) {
                if (conninfo[i] == QLatin1Char('\\') && i + 1 < n)
                    ++i;
                c.valore += conninfo[i];
            }
            ++i;
        } else {
            while (i < n && !conninfo[i].isSpace())
                c.valore += conninfo[i++];
        }
        if (c.chiave.isEmpty())
            break;
        c.testo = conninfo.mid(inizio, qMin(i, n) - inizio);
        elenco << c;
    }
    return elenco;
}

// The value of `chiave` in a key=value connection string, or empty; the last one, as in libpq.
QString valoreDi(const QString &conninfo, const QString &chiave)
{
    QString valore;
    for (const Coppia &c : coppie(conninfo))
        if (c.chiave == chiave)
            valore = c.valore;
    return valore;
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
    // QPSQL turns every ';' of its connect options into a blank; a password goes apart (apri).
    const auto puntoEVirgola = [errore](const QString &normale) {
        for (const Coppia &c : coppie(normale))
            if (c.chiave.contains(QLatin1Char(';')) ||
                (c.chiave != QLatin1String("password") && c.valore.contains(QLatin1Char(';')))) {
                *errore = QStringLiteral("la stringa di connessione non può contenere \";\"");
                return QString();
            }
        return normale;
    };
    if (!testo.startsWith(QLatin1String("postgresql://")) && !testo.startsWith(QLatin1String("postgres://"))) {
        if (testo.isEmpty() || !testo.contains(QLatin1Char('='))) {
            *errore = QStringLiteral("stringa di connessione non valida: \"%1\"").arg(testo);
            return {};
        }
        return puntoEVirgola(testo);
    }
    // libpq reads a URI only as the whole string; QPSQL appends its options to its own, so spell it out.
    // postgresql://[user[:password]@][host][:port][/dbname][?key=value&...], parts percent-encoded.
    const auto decodifica = [](const QString &parte) { return QUrl::fromPercentEncoding(parte.toUtf8()); };
    QString resto = testo.section(QStringLiteral("://"), 1);
    QString domanda;
    if (const qsizetype q = resto.indexOf(QLatin1Char('?')); q >= 0) {
        domanda = resto.mid(q + 1);
        resto.truncate(q);
    }
    QString percorso;
    if (const qsizetype b = resto.indexOf(QLatin1Char('/')); b >= 0) {
        percorso = resto.mid(b + 1);
        resto.truncate(b);
    }
    QString utente;
    if (const qsizetype a = resto.lastIndexOf(QLatin1Char('@')); a >= 0) {
        utente = resto.left(a);
        resto = resto.mid(a + 1);
    }
    QString porta;
    if (const qsizetype p = resto.lastIndexOf(QLatin1Char(':')); p >= 0 && !resto.endsWith(QLatin1Char(']'))) {
        porta = resto.mid(p + 1);
        resto.truncate(p);
    }
    if (resto.startsWith(QLatin1Char('[')) && resto.endsWith(QLatin1Char(']')))
        resto = resto.mid(1, resto.size() - 2);
    QStringList parti;
    if (!resto.isEmpty())
        parti << QStringLiteral("host=") + citato(decodifica(resto));
    if (!porta.isEmpty())
        parti << QStringLiteral("port=") + citato(porta);
    if (!percorso.isEmpty())
        parti << QStringLiteral("dbname=") + citato(decodifica(percorso));
    if (!utente.isEmpty()) {
        parti << QStringLiteral("user=") + citato(decodifica(utente.section(QLatin1Char(':'), 0, 0)));
        if (utente.contains(QLatin1Char(':')))
            parti << QStringLiteral("password=") + citato(decodifica(utente.section(QLatin1Char(':'), 1)));
    }
    const QStringList coppie = domanda.split(QLatin1Char('&'), Qt::SkipEmptyParts);
    for (const QString &coppia : coppie) {
        const QString chiave = decodifica(coppia.section(QLatin1Char('='), 0, 0));
        if (chiave.isEmpty() || !coppia.contains(QLatin1Char('=')) ||
            !std::all_of(chiave.cbegin(), chiave.cend(), [](QChar c) { return c.isLetterOrNumber() || c == u'_'; })) {
            *errore = QStringLiteral("indirizzo del server non valido: \"%1\"").arg(testo);
            return {};
        }
        parti << chiave + QLatin1Char('=') + citato(decodifica(coppia.section(QLatin1Char('='), 1)));
    }
    if (parti.isEmpty()) {
        *errore = QStringLiteral("indirizzo del server non valido: \"%1\"").arg(testo);
        return {};
    }
    return puntoEVirgola(parti.join(QLatin1Char(' ')));
}

bool ConnessioneServer::apri(const QString &nome, const QString &conninfo, QSqlDatabase *db, QString *errore,
                             int attesa, int limite)
{
    const QString normale = normalizza(conninfo, errore);
    if (normale.isEmpty())
        return false;
    *db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), nome);
    if (!db->isValid()) {
        *errore = QStringLiteral("manca il driver PostgreSQL di Qt (pacchetto libqt6sql6-psql)");
        return false;
    }
    // The password through QPSQL's own field, which quotes it: in the options a ';' would become a blank.
    QStringList opzioni;
    for (const Coppia &c : coppie(normale)) {
        if (c.chiave == QLatin1String("password"))
            db->setPassword(c.valore);
        else
            opzioni << c.testo;
    }
    // Later keys win in libpq: the administrator's own values override these. A peer gone
    // (power cut, cable pulled) is noticed within about 10 s; over a Unix socket these do nothing.
    db->setConnectOptions(QStringLiteral("connect_timeout=%1 keepalives=1 keepalives_idle=5 keepalives_interval=2 "
                                         "keepalives_count=3 tcp_user_timeout=10000 application_name=quorvel ")
                              .arg(attesa) +
                          opzioni.join(QLatin1Char(' ')));
    if (!db->open()) {
        const QString motivo = db->lastError().databaseText().trimmed();
        // A server that cannot prove it is the lab's own gets nothing, and the teacher is told why.
        if (motivo.contains(QLatin1String("certificate"), Qt::CaseInsensitive))
            *errore = QStringLiteral("il server del registro (%1) non ha mostrato il certificato di cui questo PC si "
                                     "fida, quindi per sicurezza non riceve nulla: l'amministratore controlli il "
                                     "certificato del server e il file sslrootcert dei PC.")
                          .arg(descrivi(conninfo));
        else if (motivo.contains(QLatin1String("does not support SSL")))
            *errore = QStringLiteral("il server del registro (%1) non cifra le connessioni, quindi per sicurezza non "
                                     "riceve nulla: l'amministratore attivi ssl sul server.")
                          .arg(descrivi(conninfo));
        else
            *errore = QStringLiteral("il server del registro (%1) non risponde: %2").arg(descrivi(conninfo), motivo);
        return false;
    }
    if (limite > 0) {
        // A statement_timeout from the connection string (options, PGOPTIONS, a service), or the one
        // the administrator gave the login or the database, stays.
        QSqlQuery q(*db);
        if (!q.exec(QStringLiteral("SELECT set_config('statement_timeout', '%1s', false) FROM pg_settings"
                                   " WHERE name = 'statement_timeout' AND source IN ('default', 'configuration file')")
                        .arg(limite))) {
            *errore = QStringLiteral("il server del registro (%1) non risponde: %2")
                          .arg(descrivi(conninfo), q.lastError().databaseText().trimmed());
            q = QSqlQuery();
            db->close();
            return false;
        }
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
