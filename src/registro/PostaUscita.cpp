#include "PostaUscita.h"

#include "Connessione.h"
#include "Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr const char *colonne = "id, alunno, sessione, quando, macchina, tipo, n, figura, risposta, esatto, aiuto,"
                                " intervento, secondi, registro, livello, abilita, risposte_percorso";

bool haColonna(QSqlDatabase &db, const QString &tabella, const QString &colonna)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(tabella)))
        return false;
    while (q.next())
        if (q.value(1).toString() == colonna)
            return true;
    return false;
}

} // namespace

PostaUscita::PostaUscita(const QString &file, Scrittura scrittura) : file_(file), scrittura_(scrittura) {}

PostaUscita::~PostaUscita() = default;

bool PostaUscita::apri(bool crea)
{
    if (connessione_)
        return true;
    if (!crea && !QFileInfo::exists(file_))
        return false;
    // The window's thread waits a moment at most for another writer: its result then goes through memory.
    auto c = std::make_unique<Connessione>(file_, crea, scrittura_ == Scrittura::Rapida ? 200 : 10000);
    if (!c->aperta()) {
        errore_ = c->errore();
        return false;
    }
    QSqlQuery q(c->db());
    // What is here may be the only copy: it survives a power cut too (Sicura, or sincronizza()).
    if (!c->usaWal(scrittura_ == Scrittura::Sicura) ||
        !q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS uscita (id BLOB PRIMARY KEY, alunno BLOB NOT NULL,"
                               " sessione BLOB NOT NULL, quando BIGINT NOT NULL, macchina VARCHAR(255) NOT NULL,"
                               " tipo SMALLINT NOT NULL, n SMALLINT NOT NULL, figura SMALLINT NOT NULL,"
                               " risposta SMALLINT NOT NULL, esatto BOOLEAN NOT NULL, aiuto SMALLINT NOT NULL,"
                               " intervento BOOLEAN NOT NULL, secondi INTEGER NOT NULL, registro TEXT)")) ||
        // An outbox of an earlier version: its rows are meant for whichever register takes them, and
        // were drawn at the usual level.
        (!haColonna(c->db(), QStringLiteral("uscita"), QStringLiteral("registro")) &&
         !q.exec(QStringLiteral("ALTER TABLE uscita ADD COLUMN registro TEXT"))) ||
        (!haColonna(c->db(), QStringLiteral("uscita"), QStringLiteral("livello")) &&
         (!q.exec(QStringLiteral("ALTER TABLE uscita ADD COLUMN livello SMALLINT NOT NULL DEFAULT 4")) ||
          !q.exec(QStringLiteral("ALTER TABLE uscita ADD COLUMN abilita REAL")) ||
          !q.exec(QStringLiteral("ALTER TABLE uscita ADD COLUMN risposte_percorso INTEGER"))))) {
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
    if (!scrivi(risultati)) {
        // After a failed write (a full disk) a fresh connection, with nothing left of this one.
        connessione_.reset();
        return false;
    }
    return true;
}

bool PostaUscita::scrivi(const QList<Risultato> &risultati)
{
    QSqlDatabase &db = connessione_->db();
    Transazione t(db);
    if (!t.iniziata()) {
        errore_ = t.errore().text();
        return false;
    }
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO uscita (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"
                             " ON CONFLICT (id) DO UPDATE SET aiuto = excluded.aiuto, intervento = excluded.intervento"
                             " WHERE uscita.aiuto = %2 AND excluded.aiuto IN (%3, %4)")
                  .arg(QLatin1String(colonne))
                  .arg(int(Risultato::Aiuto::Offerto))
                  .arg(int(Risultato::Aiuto::Accettato))
                  .arg(int(Risultato::Aiuto::Rifiutato)));
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
        q.addBindValue(r.registro.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(r.registro));
        q.addBindValue(r.livello);
        q.addBindValue(r.percorso ? QVariant(r.percorso->abilita) : QVariant(QMetaType(QMetaType::Double)));
        q.addBindValue(r.percorso ? QVariant(r.percorso->risposte) : QVariant(QMetaType(QMetaType::Int)));
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

QList<Risultato> PostaUscita::prendi(int quanti, const QString &registro)
{
    QList<Risultato> lista;
    if (!apri(false))
        return lista;
    QSqlQuery q(connessione_->db());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM uscita%2 ORDER BY quando, id LIMIT ?")
                  .arg(QLatin1String(colonne),
                       registro.isEmpty() ? QString() : QStringLiteral(" WHERE registro IS NULL OR registro = ?")));
    if (!registro.isEmpty())
        q.addBindValue(registro);
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
        r.registro = q.value(13).toString();
        r.livello = q.value(14).toInt();
        if (!q.value(16).isNull())
            r.percorso = StatoPercorso{q.value(15).toDouble(), q.value(16).toInt()};
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
    // Only as it was taken: a help's outcome put in meanwhile stays, to be sent in its turn.
    q.prepare(QStringLiteral("DELETE FROM uscita WHERE id = ? AND aiuto = ? AND intervento = ?"));
    for (const Risultato &r : risultati) {
        q.addBindValue(Schema::id(r.id));
        q.addBindValue(int(r.aiuto));
        q.addBindValue(r.intervento);
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

int PostaUscita::conta(const QString &registro)
{
    if (!apri(false))
        return 0;
    QSqlQuery q(connessione_->db());
    if (registro.isEmpty())
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM uscita"));
    else {
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM uscita WHERE registro IS NULL OR registro = ?"));
        q.addBindValue(registro);
    }
    if (!q.exec() || !q.next())
        return 0;
    return q.value(0).toInt();
}

bool PostaUscita::sincronizza()
{
    const QByteArray giornale = QFile::encodeName(file_ + QStringLiteral("-wal"));
    const int fd = ::open(giornale.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return true; // nothing committed since the journal was folded in, which syncs the file
        errore_ = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    const bool ok = ::fdatasync(fd) == 0;
    if (!ok)
        errore_ = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return ok;
}

bool PostaUscita::dimentica(const QString &file, const QString &alunno, QString *errore)
{
    if (!QFileInfo::exists(file))
        return true;
    Connessione c(file, false);
    QSqlQuery q(c.db());
    if (!c.aperta() || !q.prepare(QStringLiteral("DELETE FROM uscita WHERE alunno = ?"))) {
        *errore = c.errore().isEmpty() ? q.lastError().text() : c.errore();
        return false;
    }
    q.addBindValue(Schema::id(alunno));
    if (!q.exec()) {
        *errore = q.lastError().text();
        return false;
    }
    return true;
}

bool PostaUscita::assorbi(const QString &vecchio)
{
    if (!QFileInfo::exists(vecchio) || !apri(true))
        return false;
    bool ok = false;
    {
        PostaUscita altra(vecchio);
        // Whole batches into this outbox, durably, before the old file goes.
        for (;;) {
            const QList<Risultato> lotto = altra.prendi(500, {});
            if (lotto.isEmpty()) {
                ok = altra.conta() == 0 && altra.errore().isEmpty();
                break;
            }
            if (!metti(lotto) || !altra.togli(lotto))
                break;
        }
    }
    if (ok)
        for (const QString &f : {vecchio, vecchio + QStringLiteral("-wal"), vecchio + QStringLiteral("-shm")})
            QFile::remove(f);
    return ok;
}
