// The register's commands for the school's IT, run as the real program with no
// display on a register file of the test's own.
#include "insegnante/PasswordInsegnante.h"
#include "registro/Registro.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

struct Esito {
    int codice = -1;
    QString uscita;
    QString errori;
};

} // namespace

class TestRegistroComandi : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(cartella_.isValid());
        registro_ = cartella_.filePath("registro.sqlite");
    }

    // The first class waits for the teacher's password, written twice: without it nothing is made.
    void primaClasseDopoLaPassword()
    {
        scrivi("alunni.csv", "\xEF\xBB\xBFnome;figura;colore\r\nMarco;gatto;giallo\r\n"
                             "\"Ro'berto \"\"<b>x</b>\"\" 🦊\";;\r\n\r\n=1+1;3;blu\r\n");
        for (const char *ingresso : {"", "Segreta-2026\n", "Segreta-2026\nSegreta-2062\n", "corta\ncorta\n"}) {
            const Esito e =
                quorvel({"--classe", "2ª B", "--importa-alunni", cartella_.filePath("alunni.csv")}, {}, ingresso);
            QVERIFY2(e.codice == 2 && e.errori.contains(QStringLiteral("password")), qPrintable(e.errori));
            QVERIFY(!QFile::exists(registro_));
            QVERIFY(!QFile::exists(PasswordInsegnante::fileAccanto(registro_)));
        }
    }

    void importa()
    {
        Esito e = quorvel({"--classe", "2ª B", "--importa-alunni", cartella_.filePath("alunni.csv")}, {},
                          "Segreta-2026\nSegreta-2026\n");
        QCOMPARE(e.codice, 0);
        QCOMPARE(
            PasswordInsegnante(PasswordInsegnante::fileAccanto(registro_)).verifica(QStringLiteral("Segreta-2026")),
            PasswordInsegnante::Esito::Giusta);
        QVERIFY(e.uscita.contains(QStringLiteral("3 alunni importati")));
        scrivi("virgole.csv", "nome,colore,figura\n\"Rossi, Anna\",verde,1\n");
        QCOMPARE(quorvel({"--classe", "2ª B", "--importa-alunni", cartella_.filePath("virgole.csv")}).codice, 0);

        const auto registro = Registro::apri(registro_);
        QCOMPARE(registro->classi().size(), 1);
        QMap<QString, Contrassegno> alunni;
        for (const Alunno &a : registro->alunni(registro->classi().first().id))
            alunni.insert(a.nome, a.contrassegno);
        QCOMPARE(alunni.size(), 4);
        QCOMPARE(alunni.value(QStringLiteral("Marco")), (Contrassegno{12, 0}));
        QCOMPARE(alunni.value(QStringLiteral("=1+1")), (Contrassegno{3, 2}));
        QCOMPARE(alunni.value(QStringLiteral("Rossi, Anna")), (Contrassegno{1, 3}));
        QVERIFY(alunni.value(QStringLiteral("Ro'berto \"<b>x</b>\" 🦊")).valido());

        // One bad row, and nothing of the file is taken: not even its new class.
        scrivi("sbagliato.csv", "nome;figura;colore\nLuca;;\nSara;;\nPia;dado;fucsia\n");
        e = quorvel({"--classe", "3ª A", "--importa-alunni", cartella_.filePath("sbagliato.csv")});
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("riga 4")) && e.errori.contains(QStringLiteral("fucsia")),
                 qPrintable(e.errori));
        scrivi("doppio.csv", "nome\nLuca\nmarco\n");
        e = quorvel({"--classe", "2ª B", "--importa-alunni", cartella_.filePath("doppio.csv")});
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("riga 3")), qPrintable(e.errori));
        QCOMPARE(registro->classi().size(), 1);
        QCOMPARE(registro->alunni(registro->classi().first().id).size(), 4);
    }

    void argomentiSbagliati()
    {
        const QList<QStringList> casi{{"--classe", "2ª B"},
                                      {"--esporta-risultati", "x.csv", "--dal", "2026-02-30"},
                                      {"--esporta-risultati", "x.csv", "--dal", "2026-03-02", "--al", "2026-03-01"},
                                      {"--cancella-alunno", "Marco"},
                                      {"--importa-alunni", "a.csv", "--esporta-risultati", "b.csv", "--classe", "C"},
                                      {"--classe", "2ª B", "--importa-alunni", "a.csv", "altro"}};
        for (const QStringList &argomenti : casi) {
            const Esito e = quorvel(argomenti);
            QVERIFY2(e.codice == 2 && e.errori.startsWith(QStringLiteral("quorvel: ")),
                     qPrintable(argomenti.join(' ')));
        }
    }

    void esportaECancella()
    {
        const auto registro = Registro::apri(registro_);
        const QString classe = registro->classi().first().id;
        QMap<QString, QString> id;
        for (const Alunno &a : registro->alunni(classe))
            id.insert(a.nome, a.id);
        const QDateTime giorno(QDate(2026, 10, 5), QTime(8, 30), Qt::UTC);
        for (int i = 0; i < 3; ++i) {
            Risultato r;
            r.id = Registro::nuovoId();
            r.alunno = id.value(i == 1 ? QStringLiteral("=1+1") : QStringLiteral("Marco"));
            r.sessione = Registro::nuovoId();
            r.quando = giorno.addDays(i);
            r.macchina = QStringLiteral("aula-3");
            r.tipo = 1;
            r.n = 4;
            r.figura = 12;
            r.risposta = 5 - i;
            r.esatto = i == 0;
            r.aiuto = i == 0 ? Risultato::Aiuto::NonOfferto : Risultato::Aiuto::Accettato;
            r.secondi = 7;
            registro->registra(r);
        }
        QVERIFY(registro->svuota(10000));

        const QString file = cartella_.filePath("risultati.csv");
        QCOMPARE(quorvel({"--esporta-risultati", file, "--classe", "2ª b", "--al", "2026-10-06"}).codice, 0);
        QFile letto(file);
        QVERIFY(letto.open(QIODevice::ReadOnly));
        const QByteArray dati = letto.readAll();
        QVERIFY(dati.startsWith("\xEF\xBB\xBF\"classe\";\"alunno\";\"data\";\"ora\";"));
        const QStringList righe = QString::fromUtf8(dati).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(righe.size(), 3);
        QVERIFY2(righe[1].startsWith(QStringLiteral("\"2ª B\";\"Marco\";\"2026-10-05\";\"10:30:00\";\"aggiungi\";\"4\";"
                                                    "\"gatto\";\"5\";\"sì\";\"no\";\"no\";\"7\";\"aula-3\";")),
                 qPrintable(righe[1]));
        QVERIFY2(righe[2].startsWith(QStringLiteral("\"2ª B\";\"'=1+1\";\"2026-10-06\"")), qPrintable(righe[2]));
        struct stat s {};
        QVERIFY(::stat(QFile::encodeName(file).constData(), &s) == 0 && (s.st_mode & 0777) == 0600);

        // An existing file is never overwritten.
        const Esito e = quorvel({"--esporta-risultati", file});
        QCOMPARE(e.codice, 1);
        QVERIFY(e.errori.contains(QStringLiteral("non viene sovrascritto")));
        letto.seek(0);
        QCOMPARE(letto.readAll(), dati);

        const Esito cancellato = quorvel({"--cancella-alunno", " marco ", "--classe", "2ª B"});
        QCOMPARE(cancellato.codice, 0);
        QVERIFY2(cancellato.uscita.contains(QStringLiteral("con 2 risultati")), qPrintable(cancellato.uscita));
        QCOMPARE(registro->alunni(classe).size(), 3);
        int rimasti = 0;
        QVERIFY(registro->risultati({}, [&](const Registro::RigaRisultato &) { ++rimasti; }));
        QCOMPARE(rimasti, 1);
        QCOMPARE(quorvel({"--cancella-alunno", "Marco", "--classe", "2ª B"}).codice, 1);
    }

    // A class's level and a pupil's path from the command line; the place on the path a pupil's
    // results leave, of which only a newer one counts, whatever order they are stored in.
    void livelli()
    {
        QCOMPARE(quorvel({"--classe", "2ª b", "--livello", "2"}).codice, 0);
        Esito e = quorvel({"--classe", "2ª B", "--alunno", "rossi, anna", "--percorso", "1 - 4"});
        QVERIFY2(e.codice == 0 && e.uscita.contains(QStringLiteral("«Rossi, Anna»: percorso 1-4")),
                 qPrintable(e.uscita));
        const QList<QStringList> sbagliati{{"--classe", "2ª B", "--livello", "7"},
                                           {"--classe", "2ª B", "--livello", "1-3"},
                                           {"--classe", "2ª B", "--percorso", "4-2"},
                                           {"--classe", "2ª B", "--percorso", "3"},
                                           {"--classe", "2ª B", "--livello", "2", "--percorso", "1-2"},
                                           {"--alunno", "Pia", "--livello", "2"}};
        for (const QStringList &argomenti : sbagliati)
            QVERIFY2(quorvel(argomenti).codice == 2, qPrintable(argomenti.join(' ')));
        QCOMPARE(quorvel({"--classe", "2ª B", "--alunno", "Nessuno", "--livello", "3"}).codice, 1);

        const auto registro = Registro::apri(registro_);
        const Classe classe = registro->classi().first();
        QCOMPARE(classe.livello, (ImpostazioneLivello{2, 2}));
        Alunno anna;
        for (const Alunno &a : registro->alunni(classe.id))
            if (a.nome == QStringLiteral("Rossi, Anna"))
                anna = a;
        QCOMPARE(anna.livello, (ImpostazioneLivello{1, 4}));
        for (const auto &[risposte, abilita] : {std::pair{5, 2.5}, std::pair{2, 1.5}}) {
            Risultato r;
            r.alunno = anna.id;
            r.tipo = 0;
            r.n = 3;
            r.figura = 1;
            r.risposta = 2;
            r.esatto = true;
            r.livello = 3;
            r.percorso = StatoPercorso{abilita, risposte};
            registro->registra(r);
            QVERIFY(registro->svuota(10000));
        }
        for (const Alunno &a : registro->alunni(classe.id))
            if (a.id == anna.id)
                QCOMPARE((std::pair{a.stato.risposte, a.stato.abilita}), (std::pair{5, 2.5}));
        QList<int> livelli;
        QVERIFY(registro->risultati({.alunno = anna.id},
                                    [&](const Registro::RigaRisultato &r) { livelli << r.risultato.livello; }));
        QCOMPARE(livelli, (QList<int>{3, 3}));
        QCOMPARE(quorvel({"--classe", "2ª B", "--livello", "nessuno"}).codice, 0);
        QVERIFY(!registro->classi().first().livello.impostata());
    }

    // An export cut short leaves no file under the name asked for: killed by a file-size limit
    // part way (as a full disk or a pupil's logout can), nothing there; told of the failure, not
    // even its hidden file is left.
    void esportaInterrottaNonLasciaMezzoFile()
    {
        const auto registro = Registro::apri(registro_);
        const QString alunno = registro->alunni(registro->classi().first().id).first().id;
        for (int i = 0; i < 1000; ++i) {
            Risultato r;
            r.id = Registro::nuovoId();
            r.alunno = alunno;
            r.sessione = Registro::nuovoId();
            r.quando = QDateTime(QDate(2026, 11, 2), QTime(9, 0), Qt::UTC).addSecs(i);
            r.macchina = QStringLiteral("aula-3");
            r.n = 3;
            r.figura = 1;
            registro->registra(r);
        }
        QVERIFY(registro->svuota(10000));
        // Some 150 kB of CSV against a limit of 64 kB.
        const auto limite = [](bool ignoraSegnale) {
            return [ignoraSegnale] {
                if (ignoraSegnale)
                    std::signal(SIGXFSZ, SIG_IGN);
                const rlimit corto{64 * 1024, 64 * 1024};
                setrlimit(RLIMIT_FSIZE, &corto);
            };
        };
        for (const bool ignora : {false, true}) {
            const QString cartella = cartella_.filePath(ignora ? "fallita" : "uccisa");
            QVERIFY(QDir().mkpath(cartella));
            const QString file = cartella + "/risultati.csv";
            const Esito e = quorvel({"--esporta-risultati", file}, limite(ignora));
            QVERIFY2(!QFile::exists(file), qPrintable(e.errori));
            if (!ignora) {
                QCOMPARE(e.codice, -1); // killed
                continue;
            }
            QCOMPARE(e.codice, 1);
            QVERIFY2(e.errori.contains(QStringLiteral("non si è potuto scrivere")), qPrintable(e.errori));
            QCOMPARE(QDir(cartella).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
        }
    }

    // What is no list of pupils is refused at once, and read only as far as needed to tell.
    void elencoTroppoGrandeRifiutato()
    {
        QByteArray elenco = "nome;figura;colore\n";
        for (int i = 1; i < 4999; ++i)
            elenco += "Alunno " + QByteArray::number(i) + ";;\n";
        // 5000 lines are read: the error is on the last.
        scrivi("5000.csv", elenco + "Pia;dado;fucsia\n");
        Esito e = quorvel({"--classe", "4ª C", "--importa-alunni", cartella_.filePath("5000.csv")});
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("riga 5000")), qPrintable(e.errori));
        scrivi("5001.csv", elenco + "Pia;;\nUgo;;");
        e = quorvel({"--classe", "4ª C", "--importa-alunni", cartella_.filePath("5001.csv")});
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("più di 5000 righe")), qPrintable(e.errori));
        e = quorvel({"--classe", "4ª C", "--importa-alunni", "/dev/zero"});
        QCOMPARE(e.codice, 1);
        QVERIFY2(e.errori.contains(QStringLiteral("più grande di 1 MiB")), qPrintable(e.errori));
        QCOMPARE(e.errori.count(QLatin1Char('\n')), 1);
        const auto registro = Registro::apri(registro_);
        QCOMPARE(registro->classi().size(), 1);
    }

private:
    void scrivi(const char *nome, const QByteArray &testo)
    {
        QFile f(cartella_.filePath(QLatin1String(nome)));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(testo);
    }

    // `nelFiglio` runs in the program's process before it starts (a limit, a signal's handling);
    // `ingresso` is all its standard input.
    Esito quorvel(QStringList argomenti, const std::function<void()> &nelFiglio = {}, const char *ingresso = "")
    {
        argomenti << QStringLiteral("--registro") << registro_;
        QProcess p;
        // No display, and a home of the test's own in case anything looked there.
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        for (const char *via : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            ambiente.remove(QLatin1String(via));
        ambiente.insert(QStringLiteral("HOME"), cartella_.path());
        ambiente.insert(QStringLiteral("XDG_DATA_HOME"), cartella_.filePath("dati"));
        p.setProcessEnvironment(ambiente);
        p.setWorkingDirectory(cartella_.path());
        if (nelFiglio)
            p.setChildProcessModifier(nelFiglio);
        p.start(qEnvironmentVariable("QUORVEL_BINARY"), argomenti);
        p.write(ingresso);
        p.closeWriteChannel();
        Esito e;
        if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
            e.codice = p.exitCode();
        e.uscita = QString::fromUtf8(p.readAllStandardOutput());
        e.errori = QString::fromUtf8(p.readAllStandardError());
        return e;
    }

    QTemporaryDir cartella_;
    QString registro_;
};

QTEST_GUILESS_MAIN(TestRegistroComandi)
#include "test_registro_comandi.moc"
