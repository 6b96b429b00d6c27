#include "PostaUscita.h"

#include "Connessione.h"
#include "Schema.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

constexpr const char *colonne = "id, alunno, sessione, quando, macchina, tipo, n, figura, risposta, esatto, aiuto,"
                                " intervento, secondi";

} // namespace

PostaUscita::PostaUscita(const QString &file) : file_(file) {}

PostaUscita::~PostaUscita() = default;

bool PostaUscita::apri(bool crea)
{
    if (connessione_)
        return true;
    if (!crea && !QFileInfo::exists(file_))
        return false;
    auto c = std::make_unique<Connessione>(file_, crea);
    if (!c->aperta()) {
        errore_ = c->errore();
        return false;
    }
    QSqlQuery q(c->db());
    // What is here may be the only copy (a store away from this PC): it survives a power cut too.
    if (!c->usaWal(true) ||
        !q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS uscita (id BLOB PRIMARY KEY, alunno BLOB NOT NULL,"
                               " sessione BLOB NOT NULL, quando BIGINT NOT NULL, macchina VARCHAR(255) NOT NULL,"
                               " tipo SMALLINT NOT NULL, n SMALLINT NOT NULL, figura SMALLINT NOT NULL,"
                               " risposta SMALLINT NOT NULL, esatto BOOLEAN NOT NULL, aiuto SMALLINT NOT NULL,"
                               " intervento BOOLEAN NOT NULL, secondi INTEGER NOT NULL)"))) {
        errore_ = c->errore().isEmpty() ? q.lastError().text() : c->errore();
        return false;
    }
    connessione_ = std::move(c);
    return true;
}

bool PostaUscita::metti(const QList<Risultato> &risultati)
{
    if (!apri(true))
        return false;
    QSqlDatabase &db = connessione_->db();
    Transazione t(db);
    if (!t.iniziata()) {
        errore_ = t.errore().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO uscita (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                             " ON CONFLICT (id) DO NOTHING")
                  .arg(QLatin1String(colonne)));
    for (const Risultato &r : risultati) {
        q.addBindValue(Schema::id(r.id));
        q.addBindValue(Schema::id(r.alunno));
        q.addBindValue(Schema::id(r.sessione));
        q.addBindValue(r.quando.toMSecsSinceEpoch());
        q.addBindValue(r.macchina);
        q.addBindValue(r.tipo);
        q.addBindValue(r.n);
        q.addBindValue(r.figura);
        q.addBindValue(r.risposta);
        q.addBindValue(r.esatto);
        q.addBindValue(int(r.aiuto));
        q.addBindValue(r.intervento);
        q.addBindValue(r.secondi);
        if (!q.exec()) {
            errore_ = q.lastError().text();
            return false;
        }
    }
    if (!t.conferma()) {
        errore_ = t.errore().text();
        return false;
    }
    return true;
}

QList<Risultato> PostaUscita::prendi(int quanti)
{
    QList<Risultato> lista;
    if (!apri(false))
        return lista;
    QSqlQuery q(connessione_->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM uscita ORDER BY quando, id LIMIT ?").arg(QLatin1String(colonne)));
    q.addBindValue(quanti);
    if (!q.exec()) {
        errore_ = q.lastError().text();
        return lista;
    }
    while (q.next()) {
        Risultato r;
        r.id = Schema::id(q.value(0));
        r.alunno = Schema::id(q.value(1));
        r.sessione = Schema::id(q.value(2));
        r.quando = QDateTime::fromMSecsSinceEpoch(q.value(3).toLongLong(), Qt::UTC);
        r.macchina = q.value(4).toString();
        r.tipo = q.value(5).toInt();
        r.n = q.value(6).toInt();
        r.figura = q.value(7).toInt();
        r.risposta = q.value(8).toInt();
        r.esatto = q.value(9).toBool();
        r.aiuto = Risultato::Aiuto(q.value(10).toInt());
        r.intervento = q.value(11).toBool();
        r.secondi = q.value(12).toLongLong();
        lista.append(r);
    }
    return lista;
}

bool PostaUscita::togli(const QList<Risultato> &risultati)
{
    if (!apri(false))
        return false;
    QSqlDatabase &db = connessione_->db();
    // Taking out needs no flush to the disk: a removal lost in a power cut only offers those
    // results again, and the store skips them. A killed program loses nothing in WAL mode.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
    const bool tolti = togliDa(db, risultati);
    // What goes in next must be on the disk again; reopened (with FULL) if that fails.
    if (!QSqlQuery(db).exec(QStringLiteral("PRAGMA synchronous = FULL")))
        connessione_.reset();
    return tolti;
}

bool PostaUscita::togliDa(QSqlDatabase &db, const QList<Risultato> &risultati)
{
    Transazione t(db);
    if (!t.iniziata()) {
        errore_ = t.errore().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM uscita WHERE id = ?"));
    for (const Risultato &r : risultati) {
        q.addBindValue(Schema::id(r.id));
        if (!q.exec()) {
            errore_ = q.lastError().text();
            return false;
        }
    }
    if (!t.conferma()) {
        errore_ = t.errore().text();
        return false;
    }
    return true;
}

int PostaUscita::conta()
{
    if (!apri(false))
        return 0;
    QSqlQuery q(connessione_->db());
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM uscita")) || !q.next())
        return 0;
    return q.value(0).toInt();
}
