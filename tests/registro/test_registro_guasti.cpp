// Faults against the class register, on both engines: writer processes record results through
// Registro while they are killed, their disk fills, the lab's server stops or hangs and their
// clock is off. Each writer notes a result in its diary (fsync) before handing it over, and the
// time registra() returned after; once a later writer has delivered what was left in the
// outbox, every result handed over must be stored once, as it was last handed over.
//
//   QUORVEL_GUASTI_GIRI=200       runs per engine (10 by default)
//   QUORVEL_GUASTI_SEME=7         the first run's seed; run i uses seed+i, so a run is replayed
//                                 alone with its seed and QUORVEL_GUASTI_GIRI=1
//   QUORVEL_GUASTI_SALTA=a,b      fault kinds left out: uccidi disco orologio aiuto ferma sospendi blocca
#include "registro/PreparazioneServer.h"
#include "registro/Registro.h"
#include "registro/RegistroServer.h"
#include "support/AmbienteTest.h"
#include "support/ServerPostgresProva.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Milliseconds of CLOCK_MONOTONIC: one clock for the writers' diaries and the parent's kills.
qint64 monotono()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

// ---- the writer's diary: "A" and the result before registra(), "R", its id and the time after.

QByteArray rigaDiario(const Risultato &r)
{
    return QStringList{QStringLiteral("A"),
                       r.id,
                       r.alunno,
                       r.sessione,
                       QString::number(r.quando.toMSecsSinceEpoch()),
                       r.macchina,
                       QString::number(r.tipo),
                       QString::number(r.n),
                       QString::number(r.figura),
                       QString::number(r.risposta),
                       QString::number(int(r.esatto)),
                       QString::number(int(r.aiuto)),
                       QString::number(int(r.intervento)),
                       QString::number(r.secondi)}
               .join(QLatin1Char('\t'))
               .toUtf8() +
           '\n';
}

Risultato daDiario(const QList<QByteArray> &c)
{
    Risultato r;
    r.id = QString::fromUtf8(c[1]);
    r.alunno = QString::fromUtf8(c[2]);
    r.sessione = QString::fromUtf8(c[3]);
    r.quando = QDateTime::fromMSecsSinceEpoch(c[4].toLongLong(), Qt::UTC);
    r.macchina = QString::fromUtf8(c[5]);
    r.tipo = c[6].toInt();
    r.n = c[7].toInt();
    r.figura = c[8].toInt();
    r.risposta = c[9].toInt();
    r.esatto = c[10].toInt() != 0;
    r.aiuto = Risultato::Aiuto(c[11].toInt());
    r.intervento = c[12].toInt() != 0;
    r.secondi = c[13].toLongLong();
    return r;
}

bool scriviTutto(int fd, const QByteArray &riga, bool sincrono)
{
    const char *p = riga.constData();
    qsizetype resta = riga.size();
    while (resta > 0) {
        const ssize_t scritti = ::write(fd, p, size_t(resta));
        if (scritti < 0 && errno == EINTR)
            continue;
        if (scritti <= 0)
            return false;
        p += scritti;
        resta -= scritti;
    }
    return !sincrono || ::fsync(fd) == 0;
}

bool limitaFile(rlim_t byte)
{
    rlimit r{};
    if (getrlimit(RLIMIT_FSIZE, &r) != 0)
        return false;
    r.rlim_cur = std::min(byte, r.rlim_max);
    return setrlimit(RLIMIT_FSIZE, &r) == 0;
}

// The writer's side:
//   --scrittore DOVE ALUNNO DIARIO SEME QUANTI LIMITE_BYTE LIMITE_MS SPOSTA_MS PASSO AIUTO
// records QUANTI results of ALUNNO, a few ms apart, as a pupil's PC does; with LIMITE_BYTE its
// files may not grow past that size (a full disk) for LIMITE_MS; from result PASSO on, its
// clock is SPOSTA_MS off; with AIUTO some wrong answers are handed over again once the help
// question has its answer. QUANTI 0 only delivers what an earlier writer left.
// Exit 0 when everything was delivered, 3 when its diary could not be written, 4 when results wait.
int scrittore(const QStringList &a)
{
    const QString dove = a[2];
    const QString alunno = a[3];
    std::mt19937 caso(a[5].toUInt());
    const int quanti = a[6].toInt();
    const qint64 limite = a[7].toLongLong();
    const int perMs = a[8].toInt();
    const qint64 sposta = a[9].toLongLong();
    const int passo = a[10].toInt();
    const bool aiuto = a[11] == QLatin1String("1");

    std::signal(SIGXFSZ, SIG_IGN); // writes past the limit fail with EFBIG, as on a full disk
    QElapsedTimer tempo;
    tempo.start();
    bool pieno = limite > 0;
    if (pieno && !limitaFile(rlim_t(limite)))
        return 5;
    const int diario = ::open(QFile::encodeName(a[4]).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (diario < 0)
        return 5;
    const auto forseLibera = [&] {
        if (pieno && tempo.elapsed() >= perMs) {
            pieno = false;
            limitaFile(RLIM_INFINITY);
            // What was handed over before this had no room anywhere.
            scriviTutto(diario, "L\t" + QByteArray::number(monotono()) + '\n', false);
        }
    };
    const auto registro = Registro::apri(dove);
    const QString sessione = Registro::nuovoId();
    const QString macchina = QStringLiteral("pc-guasti-") + a[5];
    QList<Risultato> aperti; // wrong answers whose help question is still up
    for (int i = 0; i < quanti; ++i) {
        forseLibera();
        Risultato r;
        if (!aperti.isEmpty() && caso() % 3 == 0) {
            r = aperti.takeAt(qsizetype(caso() % unsigned(aperti.size())));
            r.aiuto = caso() % 2 ? Risultato::Aiuto::Accettato : Risultato::Aiuto::Rifiutato;
            r.intervento = r.aiuto == Risultato::Aiuto::Rifiutato && caso() % 3 == 0;
        } else {
            r.id = Registro::nuovoId();
            r.alunno = alunno;
            r.sessione = sessione;
            r.macchina = macchina;
            r.quando = QDateTime::currentDateTimeUtc().addMSecs(i >= passo ? sposta : 0);
            r.tipo = int(caso() % 3);
            r.n = 1 + int(caso() % 9);
            r.figura = 1 + int(caso() % 12);
            r.esatto = caso() % 4 != 0;
            r.risposta = r.esatto ? r.n - 1 : r.n + int(caso() % 3);
            r.aiuto = r.esatto ? Risultato::Aiuto::NonOfferto : Risultato::Aiuto::Offerto;
            r.secondi = qint64(caso() % 600);
            if (!r.esatto && aiuto)
                aperti << r;
        }
        if (!scriviTutto(diario, rigaDiario(r), true))
            return 3; // never handed over: not answered
        registro->registra(r);
        if (!scriviTutto(diario,
                         "R\t" + r.id.toUtf8() + '\t' + QByteArray::number(monotono()) + '\t' + (pieno ? "1" : "0") +
                             '\n',
                         false))
            return 3;
        QThread::msleep(caso() % 25);
    }
    // The disk is freed before the program ends: with no room anywhere, a result has nowhere to go.
    while (pieno) {
        QThread::msleep(10);
        forseLibera();
    }
    if (registro->svuota(quanti > 0 ? 10000 : 30000) && registro->inAttesa() == 0)
        return 0;
    std::fprintf(stderr, "%d results still waiting\n", registro->inAttesa());
    return 4;
}

// ---- the parent's side

struct Giro {
    enum class Server { Nessuno, Ferma, FermaSubito, Sospendi, Blocca };
    unsigned seme = 0;
    int quanti = 0;
    int alunno = 0;
    int uccidiMs = -1; // SIGKILL this long after the writer started
    qint64 limite = 0; // RLIMIT_FSIZE ...
    int limiteMs = 0;  // ... for this long
    qint64 sposta = 0; // the PC's clock off by this much ...
    int passo = 0;     // ... from this result on
    bool aiuto = false;
    Server server = Server::Nessuno;
    int serverMs = 0;    // the server's fault this long after the writer started ...
    int serverPerMs = 0; // ... for this long

    static Giro scegli(unsigned seme, bool conServer, const QSet<QString> &salta)
    {
        // Every draw is made whatever is skipped, so a seed names the same run on both engines.
        std::mt19937 caso(seme);
        const auto tra = [&](int da, int a) { return da + int(caso() % unsigned(a - da + 1)); };
        const auto se = [&](int percento, const char *tipo) {
            return int(caso() % 100) < percento && !salta.contains(QLatin1String(tipo));
        };
        Giro g;
        g.seme = seme;
        g.quanti = tra(20, 60);
        g.alunno = tra(0, 2);
        const int uccidi = tra(50, 2500);
        if (se(60, "uccidi"))
            g.uccidiMs = uccidi;
        const int kib = tra(32, 256), pienoMs = tra(100, 2500);
        if (se(35, "disco")) {
            g.limite = qint64(kib) * 1024; // above what a diary holds
            g.limiteMs = pienoMs;
        }
        static const qint64 passi[] = {3600000, -3600000, 400LL * 86400000, -400LL * 86400000};
        const qint64 passoOrologio = passi[caso() % 4];
        const int da = tra(0, g.quanti - 1);
        if (se(50, "orologio")) {
            g.sposta = passoOrologio;
            g.passo = da;
        }
        g.aiuto = se(70, "aiuto");
        const int tipo = tra(0, 9);
        const int ms = tra(0, 1500), per = tra(200, 3000);
        if (!conServer)
            return g;
        const auto guasto = tipo < 2   ? std::pair{Server::Ferma, "ferma"}
                            : tipo < 4 ? std::pair{Server::FermaSubito, "ferma"}
                            : tipo < 6 ? std::pair{Server::Sospendi, "sospendi"}
                            : tipo < 7 ? std::pair{Server::Blocca, "blocca"}
                                       : std::pair{Server::Nessuno, ""};
        if (guasto.first != Server::Nessuno && !salta.contains(QLatin1String(guasto.second))) {
            g.server = guasto.first;
            g.serverMs = ms;
            // Hung longer than a writer waits for its results, and than the parent waits for it.
            g.serverPerMs = g.server == Server::Blocca ? 25000 : per;
        }
        return g;
    }

    QString descrizione() const
    {
        QStringList parti{QStringLiteral("%1 results").arg(quanti)};
        if (uccidiMs >= 0)
            parti << QStringLiteral("SIGKILL at %1 ms").arg(uccidiMs);
        if (limite > 0)
            parti << QStringLiteral("disk full at %1 KiB for %2 ms").arg(limite / 1024).arg(limiteMs);
        if (sposta != 0)
            parti << QStringLiteral("clock %1%2 from #%3")
                         .arg(sposta > 0 ? QStringLiteral("+") : QString())
                         .arg(qAbs(sposta) >= 86400000 ? QStringLiteral("%1 d").arg(sposta / 86400000)
                                                       : QStringLiteral("%1 h").arg(sposta / 3600000))
                         .arg(passo);
        if (aiuto)
            parti << QStringLiteral("help answered later");
        static const char *nomi[] = {"", "server stopped (fast)", "server stopped (immediate)", "server hung",
                                     "server hung long"};
        if (server != Server::Nessuno)
            parti << QStringLiteral("%1 at %2 ms for %3 ms")
                         .arg(QLatin1String(nomi[int(server)]))
                         .arg(serverMs)
                         .arg(serverPerMs);
        return parti.join(QStringLiteral(", "));
    }
};

// One version of a result as a writer handed it over.
struct Versione {
    Risultato risultato;
    qint64 consegnato = -1; // when registra() returned; -1: the writer died before it did
    qint64 ucciso = -1;     // when its writer got SIGKILL, or -1
    // Handed over on a full disk, and the writer killed before the disk was freed: neither the
    // register nor the outbox had room for it, so the program could not have kept it.
    bool senzaPosto = false;
};
using Risposte = QHash<QString, QList<Versione>>;
using Righe = QHash<QString, QList<Risultato>>;

// How soon after the disk has room again the results that waited for it are in the outbox.
constexpr qint64 sguardo = 250;

// `soloDisco`: the PC's disk is the only place a result can be kept meanwhile (the register's file
// and its outbox, or the outbox while the lab's server is away).
void leggiDiario(const QString &file, qint64 ucciso, bool soloDisco, Risposte *risposte)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return; // the writer died before making it
    const QList<QByteArray> righe = f.readAll().split('\n');
    QList<QPair<QString, qsizetype>> sulPieno; // id and version
    // The last piece has no newline: cut by the kill, and so never handed over.
    for (qsizetype i = 0; i + 1 < righe.size(); ++i) {
        const QList<QByteArray> c = righe[i].split('\t');
        if (c[0] == "A" && c.size() == 14) {
            const Risultato r = daDiario(c);
            (*risposte)[r.id].append({r, -1, ucciso});
        } else if (c[0] == "R" && c.size() == 4) {
            QList<Versione> &versioni = (*risposte)[QString::fromUtf8(c[1])];
            if (versioni.isEmpty())
                continue;
            versioni.last().consegnato = c[2].toLongLong();
            if (c[3] == "1")
                sulPieno.append({QString::fromUtf8(c[1]), versioni.size() - 1});
        } else if (c[0] == "L") {
            // Room again: the program looks for it every so often, not at once. A writer killed
            // within `sguardo` of it is as one killed on a full disk.
            if (ucciso < 0 || c.size() < 2 || ucciso - c[1].toLongLong() > sguardo)
                sulPieno.clear();
        }
    }
    if (ucciso >= 0 && soloDisco)
        for (const auto &[id, versione] : std::as_const(sulPieno))
            (*risposte)[id][versione].senzaPosto = true;
}

QStringList differenze(const Risultato &a, const Risultato &b)
{
    QStringList d;
    const auto campo = [&](const char *nome, const auto &x, const auto &y) {
        if (x != y)
            d << QStringLiteral("%1 %2 (handed over %3)").arg(QLatin1String(nome)).arg(x).arg(y);
    };
    campo("alunno", a.alunno, b.alunno);
    campo("sessione", a.sessione, b.sessione);
    campo("quando", a.quando.toMSecsSinceEpoch(), b.quando.toMSecsSinceEpoch());
    campo("macchina", a.macchina, b.macchina);
    campo("tipo", a.tipo, b.tipo);
    campo("n", a.n, b.n);
    campo("figura", a.figura, b.figura);
    campo("risposta", a.risposta, b.risposta);
    campo("esatto", int(a.esatto), int(b.esatto));
    campo("aiuto", Risultato::nomeAiuto(a.aiuto), Risultato::nomeAiuto(b.aiuto));
    campo("intervento", int(a.intervento), int(b.intervento));
    campo("secondi", a.secondi, b.secondi);
    return d;
}

// Results handed over against rows stored.
struct Conteggio {
    int risposte = 0; // handed over: registra() returned
    int incerti = 0;  // the writer died between its diary and registra(): either way is right
    int salvati = 0;
    int persi = 0;
    int senzaPosto = 0;     // not stored, but handed over with no room anywhere (Versione): not lost by the program
    int persiUccisi = 0;    // of them, in a writer killed after registra() returned
    qint64 etaMassima = -1; // the longest a lost one had been handed over when its writer died
    int doppi = 0;          // rows beyond the first of one id
    int cambiati = 0;       // stored otherwise than last handed over
    int estranei = 0;       // stored, never handed over
    QStringList esempi;

    int duplicati() const { return doppi + cambiati + estranei; }
    QString descrizione() const
    {
        QString s = QStringLiteral("answered %1 (+%2 uncertain), stored %3, lost %4")
                        .arg(risposte)
                        .arg(incerti)
                        .arg(salvati)
                        .arg(persi);
        if (persiUccisi > 0)
            s += QStringLiteral(" (%1 in a killed writer, handed over up to %2 ms before the SIGKILL)")
                     .arg(persiUccisi)
                     .arg(etaMassima);
        if (senzaPosto > 0)
            s += QStringLiteral(", not stored for lack of room %1 (killed on a full disk)").arg(senzaPosto);
        return s + QStringLiteral(", duplicated %1 (stored twice %2, changed %3, never answered %4)")
                       .arg(duplicati())
                       .arg(doppi)
                       .arg(cambiati)
                       .arg(estranei);
    }

    // `tutto`: `risposte` are every writer's, so rows of no writer count too.
    static Conteggio di(const Risposte &risposte, const Righe &righe, bool tutto)
    {
        Conteggio c;
        const auto esempio = [&](const QString &testo) {
            if (c.esempi.size() < 5)
                c.esempi << testo;
        };
        for (auto it = risposte.cbegin(); it != risposte.cend(); ++it) {
            const QList<Versione> &v = it.value();
            qsizetype ultima = v.size() - 1;
            while (ultima >= 0 && v[ultima].consegnato < 0)
                --ultima;
            ++(ultima >= 0 ? c.risposte : c.incerti);
            const auto riga = righe.constFind(it.key());
            if (riga == righe.cend()) {
                if (ultima >= 0 && v[ultima].senzaPosto) {
                    ++c.senzaPosto;
                } else if (ultima >= 0) {
                    ++c.persi;
                    const Versione &p = v[ultima];
                    if (p.ucciso >= 0) {
                        ++c.persiUccisi;
                        c.etaMassima = std::max(c.etaMassima, p.ucciso - p.consegnato);
                    }
                    esempio(QStringLiteral("lost %1 (%2)")
                                .arg(it.key(),
                                     p.ucciso >= 0
                                         ? QStringLiteral("writer killed %1 ms after").arg(p.ucciso - p.consegnato)
                                         : QStringLiteral("writer not killed")));
                }
                continue;
            }
            if (!tutto)
                c.salvati += int(riga->size());
            // The last version handed over, or one noted after it that may have gone too.
            QStringList diverso;
            for (qsizetype i = std::max<qsizetype>(ultima, 0); i < v.size(); ++i) {
                diverso = differenze(riga->first(), v[i].risultato);
                if (diverso.isEmpty())
                    break;
            }
            // Stored as an earlier version: the later ones had no room anywhere, like a lost one above.
            if (!diverso.isEmpty() && ultima > 0) {
                qsizetype uguale = ultima - 1;
                while (uguale >= 0 && !differenze(riga->first(), v[uguale].risultato).isEmpty())
                    --uguale;
                bool senzaPosto = uguale >= 0;
                for (qsizetype i = uguale + 1; senzaPosto && i <= ultima; ++i)
                    senzaPosto = v[i].consegnato < 0 || v[i].senzaPosto;
                if (senzaPosto) {
                    ++c.senzaPosto;
                    diverso.clear();
                }
            }
            if (!diverso.isEmpty()) {
                ++c.cambiati;
                esempio(QStringLiteral("%1 stored with %2").arg(it.key(), diverso.join(QStringLiteral(", "))));
            }
        }
        for (auto it = righe.cbegin(); it != righe.cend(); ++it) {
            if (!tutto)
                break;
            c.salvati += int(it->size());
            c.doppi += int(it->size()) - 1;
            if (it->size() > 1)
                esempio(QStringLiteral("%1 stored %2 times").arg(it.key()).arg(it->size()));
            if (!risposte.contains(it.key())) {
                ++c.estranei;
                esempio(QStringLiteral("%1 stored, never answered").arg(it.key()));
            }
        }
        return c;
    }
};

// One engine under faults: the writers' register, the teacher's view of it, and the runs' tally.
class Banco {
public:
    Banco(QString nome, QString dove, QString lettore, QString cartella, QStringList alunni,
          ServerPostgresProva *server)
        : nome_(std::move(nome)), dove_(std::move(dove)), lettore_(std::move(lettore)), cartella_(std::move(cartella)),
          alunni_(std::move(alunni)), server_(server), tmp_(cartella_ + QStringLiteral("/tmp-") + nome_)
    {
        QDir().mkpath(tmp_);
    }

    void giro(const Giro &g)
    {
        ++giri_;
        Risposte proprie;
        const QString diario = QStringLiteral("%1/%2-%3.log").arg(cartella_, nome_).arg(g.seme);
        const qint64 ucciso = scrivi(g, diario);
        // With the lab's server up, a result has room there even when the PC's disk is full.
        const bool soloDisco = !server_ || g.server != Giro::Server::Nessuno;
        leggiDiario(diario, ucciso, soloDisco, &proprie);
        leggiDiario(diario, ucciso, soloDisco, &tutte_);
        // A writer again, as the program at its next start: it delivers what the first one left.
        scrivi(Giro{g.seme, 0}, QStringLiteral("%1/%2-%3-consegna.log").arg(cartella_, nome_).arg(g.seme));
        Righe righe;
        const QString letto = leggi(&righe);
        const Conteggio c = Conteggio::di(proprie, righe, false);
        qInfo("%s run %d, seed %u [%s]: %s", qPrintable(nome_), giri_, g.seme, qPrintable(g.descrizione()),
              qPrintable(c.descrizione()));
        for (const QString &e : c.esempi)
            qInfo("    %s", qPrintable(e));
        if (!letto.isEmpty())
            problema(g, letto);
        if (c.persi > 0 || c.duplicati() > 0)
            semiGuasti_ << QString::number(g.seme);
    }

    // Everything stored against everything handed over, after every run.
    QString bilancio(bool *pulito)
    {
        Righe righe;
        const QString letto = leggi(&righe);
        const Conteggio c = Conteggio::di(tutte_, righe, true);
        QString s = QStringLiteral("%1: %2 runs, %3; writers crashed %4, hung %5")
                        .arg(nome_)
                        .arg(giri_)
                        .arg(c.descrizione())
                        .arg(schiantati_)
                        .arg(bloccati_);
        if (!semiGuasti_.isEmpty())
            s += QStringLiteral("\n  runs with lost or duplicated results, by seed: ") +
                 semiGuasti_.join(QStringLiteral(" "));
        for (const QString &e : c.esempi)
            s += QStringLiteral("\n  ") + e;
        for (const QString &p : std::as_const(problemi_))
            s += QStringLiteral("\n  ") + p;
        if (!letto.isEmpty())
            s += QStringLiteral("\n  ") + letto;
        *pulito = letto.isEmpty() && c.persi == 0 && c.duplicati() == 0 && schiantati_ == 0 && bloccati_ == 0 &&
                  problemi_.isEmpty();
        return s;
    }

private:
    void problema(const Giro &g, const QString &testo)
    {
        problemi_ << QStringLiteral("seed %1: %2").arg(g.seme).arg(testo);
        qWarning("%s seed %u: %s", qPrintable(nome_), g.seme, qPrintable(testo));
    }

    bool guastaServer(const Giro &g, bool applica)
    {
        if (!server_ || g.server == Giro::Server::Nessuno)
            return true;
        const bool sospeso = g.server == Giro::Server::Sospendi || g.server == Giro::Server::Blocca;
        const bool ok = applica
                            ? (sospeso ? server_->sospendi() : server_->ferma(g.server == Giro::Server::FermaSubito))
                            : (sospeso ? server_->riprendi() : server_->avvia());
        if (!ok)
            problema(g, QStringLiteral("the server's fault: ") + server_->errore());
        return ok;
    }

    // Runs one writer with the run's faults; when the parent killed it, the time it did.
    qint64 scrivi(const Giro &g, const QString &diario)
    {
        // Past this a writer is hung: the parent kills it and counts it, whatever it waits for.
        constexpr int limiteMs = 20000, limiteConsegnaMs = 60000;
        QProcess p;
        // A killed writer leaves its temporary folders behind: they go in the test's own.
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("TMPDIR"), tmp_);
        p.setProcessEnvironment(ambiente);
        p.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--scrittore"), dove_, alunni_[g.alunno], diario, QString::number(g.seme),
                 QString::number(g.quanti), QString::number(g.limite), QString::number(g.limiteMs),
                 QString::number(g.sposta), QString::number(g.passo), QString::number(int(g.aiuto))});
        if (!p.waitForStarted(30000)) {
            problema(g, QStringLiteral("the writer did not start: ") + p.errorString());
            return -1;
        }
        QElapsedTimer tempo;
        tempo.start();
        qint64 ucciso = -1;
        bool bloccato = false;
        int server = 0; // 1 while the fault lasts
        while (p.state() != QProcess::NotRunning) {
            p.waitForFinished(5);
            const qint64 ms = tempo.elapsed();
            if (p.state() != QProcess::NotRunning && g.uccidiMs >= 0 && ucciso < 0 && ms >= g.uccidiMs) {
                p.kill(); // SIGKILL, by its pid
                ucciso = monotono();
            }
            if (server == 0 && g.server != Giro::Server::Nessuno && ms >= g.serverMs)
                server = guastaServer(g, true) ? 1 : 2;
            if (server == 1 && ms >= g.serverMs + g.serverPerMs)
                server = guastaServer(g, false) ? 2 : 3;
            if (p.state() != QProcess::NotRunning && !bloccato && ms >= (g.quanti > 0 ? limiteMs : limiteConsegnaMs)) {
                bloccato = true;
                ++bloccati_;
                problema(g,
                         QStringLiteral("%1 still running %2 s after it started; killed")
                             .arg(g.quanti > 0 ? QStringLiteral("the writer") : QStringLiteral("the delivering writer"))
                             .arg(ms / 1000));
                p.kill();
                ucciso = monotono();
            }
        }
        if (server == 1)
            guastaServer(g, false);
        const QString errori = QString::fromLocal8Bit(p.readAllStandardError()).right(1500).trimmed();
        if (ucciso < 0 && p.exitStatus() == QProcess::CrashExit) {
            ++schiantati_;
            problema(g, QStringLiteral("the writer died of signal %1: %2").arg(p.exitCode()).arg(errori));
        } else if (ucciso < 0 && p.exitCode() == 4) {
            // The first writer's wait is bounded below the parent's; what it left, the next one delivers.
            if (g.quanti == 0)
                problema(g, QStringLiteral("the delivering writer ended with results waiting: ") + errori);
            else
                qInfo("%s seed %u: the writer ended with results waiting: %s", qPrintable(nome_), g.seme,
                      qPrintable(errori));
        } else if (ucciso < 0 && p.exitCode() != 0 && p.exitCode() != 3) {
            ++schiantati_;
            problema(g, QStringLiteral("the writer ended with status %1: %2").arg(p.exitCode()).arg(errori));
        }
        return ucciso;
    }

    // The stored rows as the teacher reads them; empty, or why they could not be read.
    QString leggi(Righe *righe)
    {
        const auto registro = Registro::apri(lettore_);
        const bool ok = registro->risultati(
            {}, [&](const Registro::RigaRisultato &r) { (*righe)[r.risultato.id].append(r.risultato); });
        return ok ? QString() : QStringLiteral("the register could not be read: ") + registro->errore();
    }

    QString nome_, dove_, lettore_, cartella_;
    QStringList alunni_;
    ServerPostgresProva *server_;
    QString tmp_;
    Risposte tutte_;
    int giri_ = 0;
    int schiantati_ = 0;
    int bloccati_ = 0;
    QStringList problemi_;
    QStringList semiGuasti_;
};

} // namespace

class TestRegistroGuasti : public QObject {
    Q_OBJECT

    QTemporaryDir cartella_;
    unsigned seme_ = 1;
    int giri_ = 10;
    QSet<QString> salta_;

    // A class of three pupils in the register at `dove`: their ids, or none when it could not be made.
    static QStringList treAlunni(const QString &dove)
    {
        const auto registro = Registro::apri(dove);
        const std::optional<Classe> classe = registro->creaClasse(QStringLiteral("2ª B"));
        QList<Alunno> nuovi{{{}, {}, QStringLiteral("Marco"), {}},
                            {{}, {}, QStringLiteral("Giulia"), {}},
                            {{}, {}, QStringLiteral("Aldo"), {}}};
        QStringList ids;
        if (!classe || !registro->aggiungiAlunni(classe->id, nuovi))
            qWarning("%s", qPrintable(registro->errore()));
        else
            for (const Alunno &a : nuovi)
                ids << a.id;
        return ids;
    }

    void esegui(Banco &banco, bool conServer)
    {
        for (int i = 0; i < giri_; ++i)
            banco.giro(Giro::scegli(seme_ + unsigned(i), conServer, salta_));
        bool pulito = false;
        const QString bilancio = banco.bilancio(&pulito);
        qInfo("%s", qPrintable(bilancio));
        QVERIFY2(pulito, qPrintable(bilancio));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(cartella_.isValid());
        QVERIFY(!AmbienteTest::casaTemporanea().isEmpty()); // the server's outbox goes there
        if (qEnvironmentVariableIsSet("QUORVEL_GUASTI_SEME"))
            seme_ = qEnvironmentVariable("QUORVEL_GUASTI_SEME").toUInt();
        if (qEnvironmentVariableIsSet("QUORVEL_GUASTI_GIRI"))
            giri_ = qEnvironmentVariableIntValue("QUORVEL_GUASTI_GIRI");
        for (const QString &tipo :
             qEnvironmentVariable("QUORVEL_GUASTI_SALTA").split(QLatin1Char(','), Qt::SkipEmptyParts))
            salta_.insert(tipo.trimmed());
        qInfo("seed %u, %d runs per engine (QUORVEL_GUASTI_SEME, QUORVEL_GUASTI_GIRI), skipped: %s", seme_, giri_,
              qPrintable(QStringList(salta_.cbegin(), salta_.cend()).join(QLatin1Char(','))));
    }

    void fileLocale()
    {
        const QString file = cartella_.filePath(QStringLiteral("registro.sqlite"));
        const QStringList alunni = treAlunni(file);
        QCOMPARE(alunni.size(), 3);
        Banco banco(QStringLiteral("sqlite"), file, file, cartella_.path(), alunni, nullptr);
        esegui(banco, false);
    }

    void server()
    {
        ServerPostgresProva server;
        QVERIFY2(server.avvia(), qPrintable(server.errore()));
        const auto preparato = PreparazioneServer::prepara(server.conninfo());
        QVERIFY2(preparato.riuscito, qPrintable(preparato.messaggio));
        QVERIFY2(server.creaLogin(QStringLiteral("pc_aula"), QStringLiteral("quorvel_alunni")) &&
                     server.creaLogin(QStringLiteral("maestra"), QStringLiteral("quorvel_insegnanti")),
                 qPrintable(server.errore()));
        const QString maestra = server.conninfo(QStringLiteral("maestra"));
        const QStringList alunni = treAlunni(maestra);
        QCOMPARE(alunni.size(), 3);
        Banco banco(QStringLiteral("server"), server.conninfo(QStringLiteral("pc_aula")), maestra, cartella_.path(),
                    alunni, &server);
        esegui(banco, true);
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 12 && qstrcmp(argv[1], "--scrittore") == 0)
        return scrittore(QCoreApplication::arguments());
    // A long run outlasts QtTest's 5 minutes per function; each run is bounded on its own.
    if (!qEnvironmentVariableIsSet("QTEST_FUNCTION_TIMEOUT"))
        qputenv("QTEST_FUNCTION_TIMEOUT",
                QByteArray::number(std::max(300000LL, 150000LL * qEnvironmentVariableIntValue("QUORVEL_GUASTI_GIRI"))));
    TestRegistroGuasti test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_registro_guasti.moc"
