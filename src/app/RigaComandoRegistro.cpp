#include "RigaComandoRegistro.h"

#include "core/Livello.h"
#include "insegnante/ComandiInsegnante.h"
#include "registro/ConnessioneServer.h"
#include "registro/CsvAlunni.h"
#include "registro/CsvRisultati.h"
#include "registro/PreparazioneServer.h"
#include "registro/Registro.h"
#include "ui/NomiFigure.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTimeZone>

#include <cstdio>
#include <limits>
#include <optional>

namespace {

constexpr int argomentiSbagliati = 2;
constexpr int nonRiuscito = 1;

const QString importa = QStringLiteral("importa-alunni");
const QString esporta = QStringLiteral("esporta-risultati");
const QString cancella = QStringLiteral("cancella-alunno");
const QString classeOpzione = QStringLiteral("classe");
const QString dal = QStringLiteral("dal");
const QString al = QStringLiteral("al");
const QString registroOpzione = QStringLiteral("registro");
const QString prepara = QStringLiteral("registro-prepara");
const QString amministrazione = QStringLiteral("registro-amministrazione");
const QString insegnante = QStringLiteral("insegnante");
const QString alunnoOpzione = QStringLiteral("alunno");
const QString livelloOpzione = QStringLiteral("livello");
const QString percorsoOpzione = QStringLiteral("percorso");
const QString nessuno = QStringLiteral("nessuno");

int errore(const QString &frase, int codice = nonRiuscito)
{
    std::fprintf(stderr, "quorvel: %s\n", frase.toLocal8Bit().constData());
    return codice;
}

int sbagliato(const QString &frase) { return errore(frase, argomentiSbagliati); }

void dice(const QString &frase) { std::fprintf(stdout, "quorvel: %s\n", frase.toLocal8Bit().constData()); }

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

QString nativo(const QString &file) { return virgolette(QDir::toNativeSeparators(file)); }

// "1 risultato", "3 risultati".
QString quanti(qsizetype numero, const char *uno, const char *tanti)
{
    return QStringLiteral("%1 %2").arg(numero).arg(QString::fromUtf8(numero == 1 ? uno : tanti));
}

// ---- reading the pupils' list

int importaAlunni(Registro &registro, const QString &nomeClasse, const QString &file)
{
    QString motivo;
    int importati = 0;
    const std::optional<Classe> classe =
        CsvAlunni::importa(registro, nomeClasse, file, NomiFigure::numeroDi, &importati, &motivo);
    if (!classe)
        return errore(motivo);
    dice(QStringLiteral("%1 nella classe %2 del registro %3.")
             .arg(quanti(importati, "alunno importato", "alunni importati"), virgolette(classe->nome),
                  virgolette(registro.descrizione())));
    return 0;
}

// ---- writing the results

int esportaRisultati(Registro &registro, const Registro::Filtro &filtro, const QString &file)
{
    QString motivo;
    const std::optional<int> quante = CsvRisultati::scrivi(registro, filtro, file, NomiFigure::nomeDi, &motivo);
    if (!quante)
        return errore(motivo);
    dice(QStringLiteral("%1 in %2.").arg(quanti(*quante, "risultato esportato", "risultati esportati"), nativo(file)));
    return 0;
}

int cancellaAlunno(Registro &registro, const Classe &classe, const QString &nome)
{
    QString motivo;
    const QString cercato = Registro::nomeValido(nome, &motivo);
    for (const Alunno &a : registro.alunni(classe.id)) {
        if (a.nome.compare(cercato, Qt::CaseInsensitive) != 0)
            continue;
        const std::optional<int> tolti = registro.cancellaAlunno(a.id);
        if (!tolti)
            return errore(registro.errore());
        dice(QStringLiteral("%1 è stato cancellato dalla classe %2 con %3.")
                 .arg(virgolette(a.nome), virgolette(classe.nome), quanti(*tolti, "risultato", "risultati")));
        return 0;
    }
    return errore(QStringLiteral("nella classe %1 non c'è nessun alunno di nome %2.")
                      .arg(virgolette(classe.nome), virgolette(nome.trimmed())));
}

// The class's level, or with a pupil's name that pupil's.
int impostaLivello(Registro &registro, const Classe &classe, const QString &nomeAlunno,
                   const ImpostazioneLivello &livello)
{
    std::optional<Alunno> alunno;
    if (!nomeAlunno.isNull()) {
        QString motivo;
        const QString cercato = Registro::nomeValido(nomeAlunno, &motivo);
        for (const Alunno &a : registro.alunni(classe.id))
            if (a.nome.compare(cercato, Qt::CaseInsensitive) == 0)
                alunno = a;
        if (!registro.errore().isEmpty())
            return errore(registro.errore());
        if (!alunno)
            return errore(QStringLiteral("nella classe %1 non c'è nessun alunno di nome %2.")
                              .arg(virgolette(classe.nome), virgolette(nomeAlunno.trimmed())));
    }
    if (!registro.impostaLivello(classe.id, alunno ? alunno->id : QString(), livello))
        return errore(registro.errore());
    const QString chi = alunno ? virgolette(alunno->nome) : QStringLiteral("la classe %1").arg(virgolette(classe.nome));
    if (livello.impostata())
        dice(QStringLiteral("%1: %2.").arg(chi, livello.testo()));
    else
        dice(alunno ? QStringLiteral("%1: nessun livello, segue la classe.").arg(chi)
                    : QStringLiteral("%1: nessun livello, i numeri di sempre.").arg(chi));
    return 0;
}

std::optional<QDate> data(const QString &testo)
{
    const QDate d = QDate::fromString(testo, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? std::optional(d) : std::nullopt;
}

const QString uso = QStringLiteral("si scrive: quorvel --classe C --importa-alunni FILE.csv, "
                                   "quorvel --esporta-risultati FILE.csv [--classe C] [--dal AAAA-MM-GG] "
                                   "[--al AAAA-MM-GG] o quorvel --cancella-alunno NOME --classe C, "
                                   "con --registro FILE a scelta; sul server quorvel --registro CONNESSIONE --classe C "
                                   "--insegnante LOGIN; quorvel --classe C [--alunno NOME] --livello 1..6|nessuno "
                                   "o --percorso DA-A; oppure quorvel --registro-prepara CONNESSIONE.");

} // namespace

namespace RigaComandoRegistro {

bool richiesta(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString argomento = QString::fromLocal8Bit(argv[i]);
        for (const QString &nome : {importa, esporta, cancella, classeOpzione, dal, al, prepara, amministrazione,
                                    insegnante, alunnoOpzione, percorsoOpzione}) {
            const QString opzione = QStringLiteral("--") + nome;
            if (argomento == opzione || argomento.startsWith(opzione + QLatin1Char('=')))
                return true;
        }
    }
    return false;
}

QCommandLineOption opzioneRegistro()
{
    return {registroOpzione,
            QStringLiteral("Usa questo registro per questa volta: un file, o il server del laboratorio con una "
                           "stringa di connessione (\"host=server dbname=quorvel user=...\", \"service=quorvel\")."),
            QStringLiteral("REGISTRO")};
}

QList<QCommandLineOption> opzioni()
{
    return {
        {importa,
         QStringLiteral("Importa gli alunni da un file CSV con le colonne nome e, a scelta, figura e colore, "
                        "nella classe di --classe (creata se nuova)."),
         QStringLiteral("FILE")},
        {esporta,
         QStringLiteral("Scrive i risultati in un file CSV nuovo (mai sovrascritto), "
                        "di una classe con --classe, da --dal ad --al."),
         QStringLiteral("FILE")},
        {cancella, QStringLiteral("Cancella l'alunno della classe di --classe con tutti i suoi risultati."),
         QStringLiteral("NOME")},
        {classeOpzione, QStringLiteral("La classe del registro a cui si riferisce il comando."), QStringLiteral("C")},
        {dal, QStringLiteral("Esporta i risultati da questo giorno compreso."), QStringLiteral("AAAA-MM-GG")},
        {al, QStringLiteral("Esporta i risultati fino a questo giorno compreso."), QStringLiteral("AAAA-MM-GG")},
        {insegnante,
         QStringLiteral("Sul server del laboratorio, affida la classe di --classe anche all'insegnante con questo "
                        "nome di accesso."),
         QStringLiteral("LOGIN")},
        {alunnoOpzione, QStringLiteral("Con --livello o --percorso, l'alunno della classe di --classe."),
         QStringLiteral("NOME")},
        {percorsoOpzione,
         QStringLiteral("Gli esercizi della classe di --classe (o dell'alunno di --alunno) seguono un percorso che "
                        "si adatta, tra il livello DA e il livello A (da 1 a 6)."),
         QStringLiteral("DA-A")},
        {prepara,
         QStringLiteral("Crea o aggiorna il registro sul server del laboratorio per i ruoli DATABASE_alunni e "
                        "DATABASE_insegnanti; da eseguire come proprietario del database."),
         QStringLiteral("CONNESSIONE")},
        {amministrazione,
         QStringLiteral("Scrive l'SQL che l'amministratore del server esegue una volta nel database del registro, "
                        "prima di --registro-prepara: sudo -u postgres psql -d DATABASE.")},
        opzioneRegistro()};
}

int esegui(const QStringList &argomenti, FILE *ingresso)
{
    QCommandLineParser parser;
    parser.addOptions(opzioni());
    // Shared with the class sets, where the whole program's help lists it.
    parser.addOption({livelloOpzione, {}, QStringLiteral("1..6")});
    if (!parser.parse(argomenti)) {
        if (!parser.unknownOptionNames().isEmpty())
            return sbagliato(QStringLiteral("l'opzione %1 non va con i comandi del registro; %2")
                                 .arg(virgolette(parser.unknownOptionNames().first()), uso));
        return sbagliato(QStringLiteral("a un'opzione manca il suo valore; %1").arg(uso));
    }
    if (!parser.positionalArguments().isEmpty())
        return sbagliato(QStringLiteral("l'argomento %1 non è previsto; %2")
                             .arg(virgolette(parser.positionalArguments().first()), uso));
    for (const QString &nome : parser.optionNames())
        if (parser.values(nome).size() > 1)
            return sbagliato(QStringLiteral("l'opzione --%1 è data più di una volta.").arg(nome));
    if (parser.isSet(amministrazione)) {
        if (parser.optionNames().size() != 1)
            return sbagliato(QStringLiteral("--registro-amministrazione va da solo."));
        std::fputs(PreparazioneServer::sqlAmministratore().toUtf8().constData(), stdout);
        return 0;
    }
    if (parser.isSet(prepara)) {
        if (parser.optionNames().size() != 1)
            return sbagliato(QStringLiteral("--registro-prepara va da solo, con la stringa di connessione del "
                                            "proprietario del database."));
        if (!ConnessioneServer::eServer(parser.value(prepara)))
            return sbagliato(QStringLiteral("--registro-prepara vuole una stringa di connessione come "
                                            "\"host=server dbname=quorvel user=quorvel\", non %1.")
                                 .arg(virgolette(parser.value(prepara))));
        const PreparazioneServer::Esito esito = PreparazioneServer::prepara(parser.value(prepara));
        if (!esito.riuscito)
            return errore(esito.messaggio);
        dice(esito.messaggio);
        return 0;
    }
    const int azioni = int(parser.isSet(importa)) + int(parser.isSet(esporta)) + int(parser.isSet(cancella)) +
                       int(parser.isSet(insegnante)) +
                       int(parser.isSet(livelloOpzione) || parser.isSet(percorsoOpzione));
    if (azioni != 1 || (parser.isSet(livelloOpzione) && parser.isSet(percorsoOpzione)))
        return sbagliato(QStringLiteral("serve un comando, uno solo tra --importa-alunni, --esporta-risultati, "
                                        "--cancella-alunno, --insegnante, --livello e --percorso; %1")
                             .arg(uso));
    if (parser.isSet(alunnoOpzione) && !parser.isSet(livelloOpzione) && !parser.isSet(percorsoOpzione))
        return sbagliato(QStringLiteral("--alunno vale solo con --livello o --percorso."));
    ImpostazioneLivello livello;
    if (parser.isSet(livelloOpzione) && parser.value(livelloOpzione).trimmed() != nessuno) {
        const std::optional<ImpostazioneLivello> l = ImpostazioneLivello::leggi(parser.value(livelloOpzione));
        if (!l || l->percorso())
            return sbagliato(QStringLiteral("--livello vuole un numero da %1 a %2, o «nessuno», non %3.")
                                 .arg(Livello::primo)
                                 .arg(Livello::ultimo)
                                 .arg(virgolette(parser.value(livelloOpzione))));
        livello = *l;
    }
    if (parser.isSet(percorsoOpzione)) {
        const std::optional<ImpostazioneLivello> l = ImpostazioneLivello::leggi(parser.value(percorsoOpzione));
        if (!l || !l->percorso())
            return sbagliato(QStringLiteral("--percorso vuole due livelli da %1 a %2, il primo più basso, come "
                                            "«1-4», non %3.")
                                 .arg(Livello::primo)
                                 .arg(Livello::ultimo)
                                 .arg(virgolette(parser.value(percorsoOpzione))));
        livello = *l;
    }
    if ((parser.isSet(dal) || parser.isSet(al)) && !parser.isSet(esporta))
        return sbagliato(QStringLiteral("--dal e --al valgono solo con --esporta-risultati."));
    if (!parser.isSet(esporta) && !parser.isSet(classeOpzione))
        return sbagliato(QStringLiteral("manca --classe con il nome della classe."));
    const QString nomeClasse = parser.value(classeOpzione);
    QString motivo;
    if (parser.isSet(classeOpzione) && Registro::nomeValido(nomeClasse, &motivo).isEmpty())
        return sbagliato(QStringLiteral("il nome della classe non va: %1").arg(motivo));
    Registro::Filtro filtro;
    for (const auto &[nome, giorno] : {std::pair{dal, &filtro.dal}, std::pair{al, &filtro.al}}) {
        if (!parser.isSet(nome))
            continue;
        const std::optional<QDate> d = data(parser.value(nome));
        if (!d)
            return sbagliato(QStringLiteral("--%1 vuole un giorno come 2026-09-14 (AAAA-MM-GG), non %2.")
                                 .arg(nome, virgolette(parser.value(nome))));
        *giorno = *d;
    }
    if (filtro.dal.isValid() && filtro.al.isValid() && filtro.dal > filtro.al)
        return sbagliato(QStringLiteral("--dal viene dopo --al: nessun giorno in mezzo."));
    const QString file = parser.value(importa) + parser.value(esporta);
    const bool suiLivelli = parser.isSet(livelloOpzione) || parser.isSet(percorsoOpzione);
    if (!parser.isSet(cancella) && !parser.isSet(insegnante) && !suiLivelli && file.isEmpty())
        return sbagliato(QStringLiteral("manca il nome del file CSV."));
    if (parser.isSet(cancella) && parser.value(cancella).trimmed().isEmpty())
        return sbagliato(QStringLiteral("manca il nome dell'alunno da cancellare."));

    const QString fileRegistro = parser.value(registroOpzione);
    if (parser.isSet(registroOpzione) && fileRegistro.isEmpty())
        return sbagliato(QStringLiteral("manca il registro dopo --registro: un file o una stringa di connessione."));
    const std::unique_ptr<Registro> registro = Registro::apri(fileRegistro);
    if (parser.isSet(importa)) {
        // A register on this PC never holds a class without the teacher's password, or a pupil
        // could choose it first. The lab's server checks the teachers' own logins instead.
        if (!registro->fileLocale().isEmpty())
            if (const int codice = ComandiInsegnante::primaPassword(registro->fileLocale(), ingresso))
                return codice;
        return importaAlunni(*registro, nomeClasse, file);
    }

    const QList<Classe> classi = registro->classi(true);
    if (!registro->errore().isEmpty())
        return errore(registro->errore());
    if (classi.isEmpty() && !QFileInfo::exists(fileRegistro.isEmpty() ? Registro::filePredefinito() : fileRegistro))
        return errore(QStringLiteral("il registro %1 non esiste ancora: nessuna classe.")
                          .arg(virgolette(registro->descrizione())));
    std::optional<Classe> classe;
    if (parser.isSet(classeOpzione)) {
        const QString cercata = Registro::nomeValido(nomeClasse, &motivo);
        for (const Classe &c : classi)
            if (c.nome.compare(cercata, Qt::CaseInsensitive) == 0)
                classe = c;
        if (!classe)
            return errore(QStringLiteral("la classe %1 non c'è nel registro.").arg(virgolette(cercata)));
        filtro.classe = classe->id;
    }
    if (parser.isSet(cancella))
        return cancellaAlunno(*registro, *classe, parser.value(cancella));
    if (suiLivelli)
        return impostaLivello(*registro, *classe, parser.isSet(alunnoOpzione) ? parser.value(alunnoOpzione) : QString(),
                              livello);
    if (parser.isSet(insegnante)) {
        if (!registro->aggiungiInsegnante(classe->id, parser.value(insegnante)))
            return errore(registro->errore());
        dice(QStringLiteral("la classe %1 è affidata anche a %2.")
                 .arg(virgolette(classe->nome), virgolette(parser.value(insegnante).trimmed())));
        return 0;
    }
    return esportaRisultati(*registro, filtro, file);
}

int esegui(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // The same data folder as the windows'.
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    return esegui(QCoreApplication::arguments());
}

} // namespace RigaComandoRegistro
