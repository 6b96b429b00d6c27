#include "Connessione.h"

#include "ConnessioneServer.h"
#include "InterruttoreServer.h"

#include <QAtomicInt>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QAtomicInt contatore;

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

// The folders above `cartella` that are missing, made one by one so that only those get 0700.
bool creaCartelle(const QString &cartella, QString *errore)
{
    const QFileInfo info(cartella);
    if (info.isDir())
        return true;
    if (!creaCartelle(info.absolutePath(), errore))
        return false;
    if (::mkdir(QFile::encodeName(cartella).constData(), 0700) != 0 && errno != EEXIST) {
        *errore =
            QStringLiteral("non si può creare la cartella %1: %2")
                .arg(virgolette(QDir::toNativeSeparators(cartella)), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace

bool Connessione::preparaFile(const QString &file, QString *errore)
{
    const QFileInfo info(file);
    if (!creaCartelle(info.absolutePath(), errore))
        return false;
    // SQLite gives its -wal and -shm files the mode of the database: make it 0600 first.
    const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        *errore = QStringLiteral("non si può creare il file %1: %2")
                      .arg(virgolette(QDir::toNativeSeparators(file)), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    ::close(fd);
    return true;
}

Connessione::Connessione(const QString &file, bool crea, int attesaMs)
{
    const bool esiste = QFileInfo::exists(file);
    if (!esiste && !crea) {
        errore_ = QStringLiteral("il registro %1 non esiste.").arg(virgolette(QDir::toNativeSeparators(file)));
        return;
    }
    if (!esiste && !preparaFile(file, &errore_))
        return;
    nome_ = QStringLiteral("quorvel-registro-%1-%2")
                .arg(quintptr(QThread::currentThreadId()), 0, 16)
                .arg(contatore.fetchAndAddRelaxed(1));
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), nome_);
    db_.setDatabaseName(file);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(attesaMs));
    if (!db_.open()) {
        errore_ = QStringLiteral("il registro %1 non si apre: %2")
                      .arg(virgolette(QDir::toNativeSeparators(file)), db_.lastError().text());
        return;
    }
    QSqlQuery q(db_);
    // secure_delete: an erased pupil's rows are zeroed in the file, not only unlinked.
    // temp_store: the sorts of an export stay in memory, not in temporary files elsewhere.
    if (!q.exec(QStringLiteral("PRAGMA foreign_keys = ON")) || !q.exec(QStringLiteral("PRAGMA secure_delete = ON")) ||
        !q.exec(QStringLiteral("PRAGMA temp_store = MEMORY"))) {
        errore_ = QStringLiteral("il registro %1 non si apre: %2")
                      .arg(virgolette(QDir::toNativeSeparators(file)), q.lastError().text());
        return;
    }
    aperta_ = true;
}

std::unique_ptr<Connessione> Connessione::alServer(const QString &conninfo, InterruttoreServer *interruttore)
{
    std::unique_ptr<Connessione> c(new Connessione);
    c->nome_ = QStringLiteral("quorvel-registro-%1-%2")
                   .arg(quintptr(QThread::currentThreadId()), 0, 16)
                   .arg(contatore.fetchAndAddRelaxed(1));
    c->aperta_ = ConnessioneServer::apri(c->nome_, conninfo, &c->db_, &c->errore_);
    if (c->aperta_ && interruttore) {
        c->interruttore_ = interruttore;
        interruttore->collega(c->db_);
    }
    return c;
}

Connessione::~Connessione()
{
    if (nome_.isEmpty())
        return;
    if (interruttore_)
        interruttore_->scollega();
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(nome_);
}

bool Connessione::usaWal(bool sincronoPieno)
{
    if (server())
        return true;
    // NORMAL in WAL mode: a killed program loses no committed transaction, and a
    // power cut at worst the last ones, never half of one.
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !q.next() ||
        q.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0 ||
        !q.exec(sincronoPieno ? QStringLiteral("PRAGMA synchronous = FULL")
                              : QStringLiteral("PRAGMA synchronous = NORMAL"))) {
        errore_ = QStringLiteral("il registro non passa al giornale WAL: %1").arg(q.lastError().text());
        return false;
    }
    return true;
}
