#include "RigaComandoRegistro.h"

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

struct Riga {
    int numero = 0; // the line it starts on
    QStringList campi;
};

// The records of a CSV text (quotes, doubled quotes, separators and line ends inside quotes);
// a null separator reads each line as one field. Empty lines are skipped.
std::optional<QList<Riga>> righeCsv(const QString &testo, QChar separatore, QString *motivo)
{
    QList<Riga> righe;
    Riga riga{1, {}};
    QString campo;
    bool traVirgolette = false, citato = false, vuota = true;
    int linea = 1;
    const auto chiudiRiga = [&] {
        if (!vuota || citato) {
            riga.campi << campo;
            righe << riga;
        }
        riga = {linea, {}};
        campo.clear();
        vuota = true;
        citato = false;
    };
    for (qsizetype i = 0; i < testo.size(); ++i) {
        const QChar c = testo[i];
        if (traVirgolette) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < testo.size() && testo[i + 1] == QLatin1Char('"')) {
                    campo += c;
                    ++i;
                } else {
                    traVirgolette = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++linea;
                campo += c;
            }
        } else if (c == QLatin1Char('"') && campo.trimmed().isEmpty()) {
            traVirgolette = citato = true;
            vuota = false;
            campo.clear();
        } else if (!separatore.isNull() && c == separatore) {
            riga.campi << campo;
            campo.clear();
            vuota = false;
            citato = false;
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && i + 1 < testo.size() && testo[i + 1] == QLatin1Char('\n'))
                ++i;
            ++linea;
            chiudiRiga();
        } else {
            if (citato && !c.isSpace()) {
                *motivo = QStringLiteral("riga %1: testo dopo le virgolette di chiusura.").arg(linea);
                return std::nullopt;
            }
            if (!c.isSpace())
                vuota = false;
            campo += c;
        }
    }
    if (traVirgolette) {
        *motivo = QStringLiteral("riga %1: virgolette aperte e mai chiuse.").arg(riga.numero);
        return std::nullopt;
    }
    chiudiRiga();
    return righe;
}

std::optional<int> figuraDa(const QString &testo)
{
    bool numero = false;
    const int n = testo.toInt(&numero);
    if (numero)
        return n >= 1 && n <= Contrassegno::numeroFigure ? std::optional(n) : std::nullopt;
    for (int f = 1; f <= Contrassegno::numeroFigure && f < NomiFigure::numero; ++f)
        if (testo.compare(QString::fromUtf8(NomiFigure::nomi[f].singolare), Qt::CaseInsensitive) == 0 ||
            testo.compare(QString::fromUtf8(NomiFigure::nomi[f].plurale), Qt::CaseInsensitive) == 0)
            return f;
    return std::nullopt;
}

std::optional<int> coloreDa(const QString &testo)
{
    for (int c = 0; c < Contrassegno::numeroColori; ++c)
        if (testo.compare(Contrassegno::nomeColore(c), Qt::CaseInsensitive) == 0)
            return c;
    return std::nullopt;
}

QString nomiColori()
{
    QStringList nomi;
    for (int c = 0; c < Contrassegno::numeroColori; ++c)
        nomi << Contrassegno::nomeColore(c);
    return nomi.join(QStringLiteral(", "));
}

int importaAlunni(Registro &registro, const QString &nomeClasse, const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return errore(QStringLiteral("il file %1 non si può leggere: %2").arg(nativo(file), f.errorString()));
    QByteArray dati = f.readAll();
    if (dati.startsWith("\xEF\xBB\xBF"))
        dati.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString testo = utf8.decode(dati);
    if (utf8.hasError())
        return errore(QStringLiteral("il file %1 non è in UTF-8: salvarlo come «CSV UTF-8».").arg(nativo(file)));

    // The header tells the separator: ';' as a spreadsheet with Italian settings writes, or ','.
    const QString intestazione = testo.section(QLatin1Char('\n'), 0, 0);
    const QChar separatore = intestazione.contains(QLatin1Char(';'))   ? QLatin1Char(';')
                             : intestazione.contains(QLatin1Char(',')) ? QLatin1Char(',')
                                                                       : QChar();
    QString motivo;
    const std::optional<QList<Riga>> righe = righeCsv(testo, separatore, &motivo);
    if (!righe)
        return errore(QStringLiteral("%1, %2 Nessun alunno importato.").arg(nativo(file), motivo));
    if (righe->isEmpty())
        return errore(QStringLiteral("il file %1 è vuoto.").arg(nativo(file)));
    int colonnaNome = -1, colonnaFigura = -1, colonnaColore = -1;
    const QStringList &titoli = righe->first().campi;
    for (int i = 0; i < titoli.size(); ++i) {
        const QString titolo = titoli[i].trimmed().toLower();
        int *colonna = titolo == QLatin1String("nome")     ? &colonnaNome
                       : titolo == QLatin1String("figura") ? &colonnaFigura
                       : titolo == QLatin1String("colore") ? &colonnaColore
                                                           : nullptr;
        if (!colonna || *colonna >= 0)
            return errore(QStringLiteral("%1, riga %2: la colonna %3 non è prevista; la prima riga nomina le "
                                         "colonne nome e, a scelta, figura e colore. Nessun alunno importato.")
                              .arg(nativo(file))
                              .arg(righe->first().numero)
                              .arg(virgolette(titoli[i].trimmed())));
        *colonna = i;
    }
    if (colonnaNome < 0)
        return errore(
            QStringLiteral("%1: manca la colonna nome nella prima riga. Nessun alunno importato.").arg(nativo(file)));

    QList<Alunno> alunni;
    QList<int> linee;
    for (qsizetype r = 1; r < righe->size(); ++r) {
        const Riga &riga = righe->at(r);
        const auto rifiuta = [&](const QString &perche) {
            return errore(QStringLiteral("%1, riga %2: %3 Nessun alunno importato.")
                              .arg(nativo(file))
                              .arg(riga.numero)
                              .arg(perche));
        };
        if (riga.campi.size() != titoli.size())
            return rifiuta(QStringLiteral("ci sono %1 campi invece di %2.").arg(riga.campi.size()).arg(titoli.size()));
        Alunno a;
        a.nome = Registro::nomeValido(riga.campi[colonnaNome], &motivo);
        if (a.nome.isEmpty())
            return rifiuta(motivo);
        const QString figura = colonnaFigura >= 0 ? riga.campi[colonnaFigura].trimmed() : QString();
        const QString colore = colonnaColore >= 0 ? riga.campi[colonnaColore].trimmed() : QString();
        if (figura.isEmpty() != colore.isEmpty())
            return rifiuta(QStringLiteral("figura e colore si danno insieme, o nessuno dei due."));
        if (!figura.isEmpty()) {
            const std::optional<int> f = figuraDa(figura);
            if (!f)
                return rifiuta(QStringLiteral("la figura %1 non esiste: un numero da 1 a %2 o il nome di una figura.")
                                   .arg(virgolette(figura))
                                   .arg(Contrassegno::numeroFigure));
            const std::optional<int> c = coloreDa(colore);
            if (!c)
                return rifiuta(QStringLiteral("il colore %1 non esiste: %2.").arg(virgolette(colore), nomiColori()));
            a.contrassegno = {*f, *c};
        }
        alunni << a;
        linee << riga.numero;
    }
    if (alunni.isEmpty())
        return errore(QStringLiteral("il file %1 non ha alunni dopo la prima riga.").arg(nativo(file)));
    int indice = -1;
    const std::optional<Classe> classe = registro.importaAlunni(nomeClasse, alunni, &indice);
    if (!classe) {
        if (indice >= 0)
            return errore(QStringLiteral("%1, riga %2: %3 Nessun alunno importato.")
                              .arg(nativo(file))
                              .arg(linee[indice])
                              .arg(registro.errore()));
        return errore(registro.errore() + QStringLiteral(" Nessun alunno importato."));
    }
    dice(QStringLiteral("%1 nella classe %2 del registro %3.")
             .arg(quanti(alunni.size(), "alunno importato", "alunni importati"), virgolette(classe->nome),
                  virgolette(registro.descrizione())));
    return 0;
}

// ---- writing the results

QString tipo(int t)
{
    static const char *nomi[] = {"insieme vuoto", "aggiungi", "togli"};
    return t >= 0 && t < 3 ? QString::fromUtf8(nomi[t]) : QString::number(t);
}

QString aiuto(Risultato::Aiuto a)
{
    switch (a) {
    case Risultato::Aiuto::NonOfferto:
        return QStringLiteral("no");
    case Risultato::Aiuto::Offerto:
        return QStringLiteral("offerto");
    case Risultato::Aiuto::Accettato:
        return QStringLiteral("accettato");
    case Risultato::Aiuto::Rifiutato:
        return QStringLiteral("rifiutato");
    }
    return {};
}

QString si(bool vero) { return vero ? QStringLiteral("sì") : QStringLiteral("no"); }

// A quoted field. A name that begins like a formula is kept as text, so that opening the
// file never runs what a name holds.
void campo(QString &riga, const QString &testo, bool ultimo = false)
{
    riga += QLatin1Char('"');
    if (!testo.isEmpty()) {
        switch (testo.front().unicode()) {
        case '=':
        case '+':
        case '-':
        case '@':
        case '\t':
        case '\r':
            riga += QLatin1Char('\'');
            break;
        default:
            break;
        }
    }
    if (testo.contains(QLatin1Char('"'))) {
        QString doppie = testo;
        riga += doppie.replace(QLatin1String("\""), QLatin1String("\"\""));
    } else {
        riga += testo;
    }
    riga += ultimo ? QLatin1String("\"\r\n") : QLatin1String("\";");
}

// Italian wall-clock time of a UTC instant. The zone's offset is looked up once per hour
// of UTC (its changes fall on whole hours), the rest is arithmetic: a school year is a
// quarter of a million rows.
class OraItaliana {
public:
    // "2026-10-05" and "10:30:00".
    std::pair<QString, QString> di(const QDateTime &utc)
    {
        const qint64 ms = utc.toMSecsSinceEpoch();
        const qint64 ora = floorDiv(ms, 3600000);
        if (ora != ora_) {
            ora_ = ora;
            const QDateTime inizio = QDateTime::fromMSecsSinceEpoch(ora * 3600000, Qt::UTC);
            scarto_ = qint64(roma_.isValid() ? roma_.offsetFromUtc(inizio) : inizio.toLocalTime().offsetFromUtc());
        }
        const qint64 secondi = floorDiv(ms, 1000) + scarto_;
        const qint64 giorno = floorDiv(secondi, 86400);
        const qint64 nelGiorno = secondi - giorno * 86400;
        const QDate data = QDate(1970, 1, 1).addDays(giorno);
        return {QStringLiteral("%1-%2-%3")
                    .arg(data.year(), 4, 10, QLatin1Char('0'))
                    .arg(data.month(), 2, 10, QLatin1Char('0'))
                    .arg(data.day(), 2, 10, QLatin1Char('0')),
                QStringLiteral("%1:%2:%3")
                    .arg(nelGiorno / 3600, 2, 10, QLatin1Char('0'))
                    .arg(nelGiorno / 60 % 60, 2, 10, QLatin1Char('0'))
                    .arg(nelGiorno % 60, 2, 10, QLatin1Char('0'))};
    }

private:
    static qint64 floorDiv(qint64 a, qint64 b) { return a / b - (a % b < 0 ? 1 : 0); }

    const QTimeZone roma_{"Europe/Rome"};
    qint64 ora_ = std::numeric_limits<qint64>::min();
    qint64 scarto_ = 0;
};

int esportaRisultati(Registro &registro, const Registro::Filtro &filtro, const QString &file)
{
    const QFileInfo info(file);
    if (info.exists() || info.isSymLink())
        return errore(QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(nativo(file)));
    QFile f(file);
    // Children's results: readable by their owner only.
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        if (f.exists())
            return errore(QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(nativo(file)));
        return errore(QStringLiteral("il file %1 non si può creare: %2").arg(nativo(file), f.errorString()));
    }
    OraItaliana orologio;
    QString riga;
    int quante = 0;
    bool scritto = f.write("\xEF\xBB\xBF") == 3;
    for (const char *titolo : {"classe", "alunno", "data", "ora", "esercizio", "N", "figura", "risposta", "esatto",
                               "aiuto", "intervento", "secondi", "computer", "sessione"})
        campo(riga, QString::fromUtf8(titolo));
    campo(riga, QStringLiteral("id"), true);
    QByteArray blocco = riga.toUtf8();
    const bool letto = registro.risultati(filtro, [&](const Registro::RigaRisultato &r) {
        const Risultato &x = r.risultato;
        const auto [giorno, ora] = orologio.di(x.quando);
        riga.clear();
        campo(riga, r.nomeClasse);
        campo(riga, r.nomeAlunno);
        campo(riga, giorno);
        campo(riga, ora);
        campo(riga, tipo(x.tipo));
        campo(riga, QString::number(x.n));
        campo(riga, x.figura > 0 && x.figura < NomiFigure::numero
                        ? QString::fromUtf8(NomiFigure::nomi[x.figura].singolare)
                        : QString::number(x.figura));
        campo(riga, QString::number(x.risposta));
        campo(riga, si(x.esatto));
        campo(riga, aiuto(x.aiuto));
        campo(riga, si(x.intervento));
        campo(riga, QString::number(x.secondi));
        campo(riga, x.macchina);
        campo(riga, x.sessione);
        campo(riga, x.id, true);
        blocco += riga.toUtf8();
        ++quante;
        if (blocco.size() > (1 << 20)) {
            scritto = scritto && f.write(blocco) == blocco.size();
            blocco.truncate(0);
        }
    });
    scritto = scritto && f.write(blocco) == blocco.size() && f.flush();
    f.close();
    if (!letto || !scritto || f.error() != QFileDevice::NoError) {
        // Half a file is worse than none: the one this run made goes.
        f.remove();
        return errore(
            !letto ? registro.errore()
                   : QStringLiteral("il file %1 non si è potuto scrivere: %2").arg(nativo(file), f.errorString()));
    }
    dice(QStringLiteral("%1 in %2.").arg(quanti(quante, "risultato esportato", "risultati esportati"), nativo(file)));
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

std::optional<QDate> data(const QString &testo)
{
    const QDate d = QDate::fromString(testo, QStringLiteral("yyyy-MM-dd"));
    return d.isValid() ? std::optional(d) : std::nullopt;
}

const QString uso = QStringLiteral("si scrive: quorvel --classe C --importa-alunni FILE.csv, "
                                   "quorvel --esporta-risultati FILE.csv [--classe C] [--dal AAAA-MM-GG] "
                                   "[--al AAAA-MM-GG] o quorvel --cancella-alunno NOME --classe C, "
                                   "con --registro FILE a scelta.");

} // namespace

namespace RigaComandoRegistro {

bool richiesta(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString argomento = QString::fromLocal8Bit(argv[i]);
        for (const QString &nome : {importa, esporta, cancella, classeOpzione, dal, al}) {
            const QString opzione = QStringLiteral("--") + nome;
            if (argomento == opzione || argomento.startsWith(opzione + QLatin1Char('=')))
                return true;
        }
    }
    return false;
}

QCommandLineOption opzioneRegistro()
{
    return {registroOpzione, QStringLiteral("Usa questo file come registro della classe, per questa volta."),
            QStringLiteral("FILE")};
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
        opzioneRegistro()};
}

int esegui(const QStringList &argomenti)
{
    QCommandLineParser parser;
    parser.addOptions(opzioni());
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
    const int azioni = int(parser.isSet(importa)) + int(parser.isSet(esporta)) + int(parser.isSet(cancella));
    if (azioni != 1)
        return sbagliato(QStringLiteral("serve un comando, uno solo tra --importa-alunni, --esporta-risultati e "
                                        "--cancella-alunno; %1")
                             .arg(uso));
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
    if (!parser.isSet(cancella) && file.isEmpty())
        return sbagliato(QStringLiteral("manca il nome del file CSV."));
    if (parser.isSet(cancella) && parser.value(cancella).trimmed().isEmpty())
        return sbagliato(QStringLiteral("manca il nome dell'alunno da cancellare."));

    const QString fileRegistro = parser.value(registroOpzione);
    if (parser.isSet(registroOpzione) && fileRegistro.isEmpty())
        return sbagliato(QStringLiteral("manca il nome del file del registro dopo --registro."));
    const std::unique_ptr<Registro> registro = Registro::apri(fileRegistro);
    if (parser.isSet(importa))
        return importaAlunni(*registro, nomeClasse, file);

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
