#include "ServerPostgresProva.h"

#include "registro/PreparazioneServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

QString percorsoScript()
{
    const QString daAmbiente = qEnvironmentVariable("QUORVEL_PG_TEST");
    return daAmbiente.isEmpty() ? QStringLiteral(QUORVEL_SORGENTI "/scripts/pg-test.sh") : daAmbiente;
}

} // namespace

ServerPostgresProva::ServerPostgresProva()
{
    // Run as root, the server is the user postgres, who must pass through this folder.
    if (cartella_.isValid() && geteuid() == 0)
        QFile::setPermissions(cartella_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                    QFile::ExeGroup | QFile::ExeOther);
}

ServerPostgresProva::~ServerPostgresProva()
{
    if (sospeso_) // else pg_ctl would wait for it in vain
        riprendi();
    if (acceso_)
        ferma();
}

bool ServerPostgresProva::script(const QStringList &argomenti)
{
    QProcess p;
    p.start(QStringLiteral("bash"), QStringList{percorsoScript()} + argomenti);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        errore_ = QStringLiteral("scripts/pg-test.sh %1: no answer in 120 s").arg(argomenti.join(QLatin1Char(' ')));
        return false;
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        errore_ = QStringLiteral("scripts/pg-test.sh %1 failed: %2")
                      .arg(argomenti.join(QLatin1Char(' ')), QString::fromUtf8(p.readAllStandardError()).trimmed());
        return false;
    }
    return true;
}

bool ServerPostgresProva::avvia()
{
    if (!cartella_.isValid()) {
        errore_ = QStringLiteral("no temporary folder: ") + cartella_.errorString();
        return false;
    }
    acceso_ = script({QStringLiteral("avvia"), cartella(), QString::number(QCoreApplication::applicationPid())});
    return acceso_ && !psql(PreparazioneServer::sqlAmministratore()).isNull();
}

bool ServerPostgresProva::ferma(bool immediato)
{
    const bool ok =
        script({QStringLiteral("ferma"), cartella(), immediato ? QStringLiteral("immediate") : QStringLiteral("fast")});
    if (ok)
        acceso_ = false;
    return ok;
}

QList<qint64> ServerPostgresProva::processi()
{
    QFile file(cartella() + QStringLiteral("/data/postmaster.pid"));
    const qint64 postmaster = file.open(QIODevice::ReadOnly) ? file.readLine().trimmed().toLongLong() : 0;
    if (postmaster <= 0) {
        errore_ = QStringLiteral("no postmaster.pid in ") + cartella();
        return {};
    }
    QList<qint64> pid{postmaster};
    // /proc/<pid>/stat: "pid (comm) state ppid ..."; comm may hold blanks, so read after the last ')'.
    const QStringList voci = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &voce : voci) {
        bool numero = false;
        const qint64 figlio = voce.toLongLong(&numero);
        if (!numero)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(voce));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray riga = stat.readAll();
        const QList<QByteArray> campi = riga.mid(riga.lastIndexOf(')') + 2).split(' ');
        if (campi.size() > 1 && campi[1].toLongLong() == postmaster)
            pid << figlio;
    }
    return pid;
}

bool ServerPostgresProva::segnala(int segnale)
{
    // The postmaster first when stopping, so it forks no child meanwhile; last when resuming.
    QList<qint64> pid = processi();
    if (pid.isEmpty())
        return false;
    const qint64 postmaster = pid.first();
    if (segnale == SIGCONT)
        std::reverse(pid.begin(), pid.end());
    for (const qint64 p : pid)
        if (::kill(pid_t(p), segnale) != 0 && p == postmaster) {
            errore_ = QStringLiteral("kill %1: %2").arg(p).arg(QString::fromLocal8Bit(strerror(errno)));
            return false;
        }
    return true;
}

bool ServerPostgresProva::sospendi()
{
    sospeso_ = segnala(SIGSTOP);
    // Children forked just before the postmaster stopped are caught by a second look.
    return sospeso_ && segnala(SIGSTOP);
}

bool ServerPostgresProva::riprendi()
{
    const bool ok = segnala(SIGCONT);
    if (ok)
        sospeso_ = false;
    return ok;
}

int ServerPostgresProva::porta() const
{
    QFile file(cartella() + QStringLiteral("/porta"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed().toInt() : 0;
}

QString ServerPostgresProva::password() const
{
    QFile file(cartella() + QStringLiteral("/password"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll().trimmed()) : QString();
}

QString ServerPostgresProva::conninfo(const QString &utente, const QString &database, const QString &certificato) const
{
    return QStringLiteral("host=localhost hostaddr=127.0.0.1 port=%1 dbname=%2 user=%3 sslmode=verify-full"
                          " sslrootcert=%4/tls/%5 passfile=%4/pgpass")
        .arg(QString::number(porta()), database, utente, cartella(), certificato);
}

bool ServerPostgresProva::creaLogin(const QString &nome, const QString &gruppo)
{
    QString sql = QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD '%2'").arg(nome, password());
    if (!gruppo.isEmpty())
        sql += QStringLiteral(" IN ROLE ") + gruppo;
    return !psql(sql).isNull();
}

QString ServerPostgresProva::psql(const QString &sql, const QString &database)
{
    QProcess p;
    p.start(QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
             QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-h"), cartella(),
             QStringLiteral("-p"), QString::number(porta()), QStringLiteral("-U"), QStringLiteral("postgres"),
             QStringLiteral("-d"), database, QStringLiteral("-c"), sql});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        errore_ = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return {};
    }
    const QString uscita = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return uscita.isNull() ? QStringLiteral("") : uscita;
}

QString ServerPostgresProva::psqlCome(const QString &utente, const QString &sql, const QString &altro)
{
    QProcess p;
    p.start(QStringLiteral("psql"),
            {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-A"), QStringLiteral("-t"),
             QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"), QStringLiteral("-d"),
             conninfo(utente) + QLatin1Char(' ') + altro, QStringLiteral("-c"), sql});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        errore_ = QString::fromUtf8(p.readAllStandardError()).trimmed();
        return {};
    }
    const QString uscita = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    return uscita.isNull() ? QStringLiteral("") : uscita;
}
