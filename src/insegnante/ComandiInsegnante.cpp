#include "ComandiInsegnante.h"

#include "insegnante/PasswordInsegnante.h"
#include "insegnante/RapportiRegistro.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "registro/Registro.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <termios.h>
#include <unistd.h>

namespace ComandiInsegnante {

namespace {

constexpr int fallito = 1;
constexpr int sbagliato = 2;

int errore(const QString &frase, int codice)
{
    std::fprintf(stderr, "quorvel: %s\n", frase.toLocal8Bit().constData());
    return codice;
}

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

// One line of the input; on a terminal the typing is not shown.
std::optional<QString> rigaSegreta(FILE *ingresso, const char *domanda)
{
    const int fd = fileno(ingresso);
    termios prima{};
    const bool terminale = isatty(fd) && tcgetattr(fd, &prima) == 0;
    if (terminale) {
        std::fputs(domanda, stderr);
        termios senzaEco = prima;
        senzaEco.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(fd, TCSAFLUSH, &senzaEco);
    }
    char buffer[1024];
    const bool letta = std::fgets(buffer, sizeof buffer, ingresso) != nullptr;
    if (terminale) {
        tcsetattr(fd, TCSAFLUSH, &prima);
        std::fputs("\n", stderr);
    }
    if (!letta)
        return std::nullopt;
    QString riga = QString::fromUtf8(buffer);
    while (riga.endsWith(QLatin1Char('\n')) || riga.endsWith(QLatin1Char('\r')))
        riga.chop(1);
    return riga;
}

// The password read twice and set; only the owner of the register's folder, when it exists, may set it.
int sceltaPassword(const QString &fileRegistro, FILE *ingresso)
{
    const QFileInfo cartella(QFileInfo(fileRegistro).absolutePath());
    if (cartella.exists() && cartella.ownerId() != geteuid())
        return errore(QStringLiteral("solo il proprietario della cartella %1 può cambiare la password "
                                     "dell'insegnante.")
                          .arg(virgolette(QDir::toNativeSeparators(cartella.absoluteFilePath()))),
                      fallito);
    const auto prima = rigaSegreta(ingresso, "Nuova password dell'insegnante: ");
    const auto seconda = rigaSegreta(ingresso, "Ripetere la password: ");
    if (!prima || !seconda)
        return errore(QStringLiteral("la password va scritta due volte."), sbagliato);
    if (*prima != *seconda)
        return errore(QStringLiteral("le due password sono diverse; nulla è cambiato."), sbagliato);
    PasswordInsegnante password(PasswordInsegnante::fileAccanto(fileRegistro));
    if (!password.imposta(*prima))
        return errore(password.errore(), prima->size() < PasswordInsegnante::lunghezzaMinima ? sbagliato : fallito);
    return 0;
}

} // namespace

int nuovaPassword(const QString &fileRegistro, FILE *ingresso)
{
    const QFileInfo cartella(QFileInfo(fileRegistro).absolutePath());
    if (!cartella.isDir())
        return errore(QStringLiteral("la cartella del registro %1 non esiste: nessuna classe è stata ancora creata.")
                          .arg(virgolette(QDir::toNativeSeparators(cartella.absoluteFilePath()))),
                      fallito);
    if (const int codice = sceltaPassword(fileRegistro, ingresso))
        return codice;
    std::fprintf(stderr, "quorvel: la password dell'insegnante è cambiata.\n");
    return 0;
}

int primaPassword(const QString &fileRegistro, FILE *ingresso)
{
    if (PasswordInsegnante(PasswordInsegnante::fileAccanto(fileRegistro)).impostata())
        return 0;
    std::fprintf(stderr,
                 "quorvel: il registro non ha ancora la password dell'insegnante, che apre la finestra «Registro»: "
                 "sceglierla ora (almeno %d caratteri) e scriverla due volte.\n",
                 PasswordInsegnante::lunghezzaMinima);
    if (const int codice = sceltaPassword(fileRegistro, ingresso))
        return errore(QStringLiteral("nessuna classe è stata creata senza la password dell'insegnante."), codice);
    std::fprintf(stderr, "quorvel: la password dell'insegnante è stata scelta.\n");
    return 0;
}

int rapportoPdf(Registro &registro, const QString &file, const QString &classe, QDate dal, QDate al)
{
    if (dal.isValid() && al.isValid() && dal > al)
        return errore(QStringLiteral("--dal viene dopo --al."), sbagliato);
    const QList<Classe> classi = registro.classi(true);
    const auto trovata =
        std::find_if(classi.begin(), classi.end(), [&](const Classe &c) { return c.nome == classe.trimmed(); });
    if (trovata == classi.end()) {
        if (!registro.errore().isEmpty())
            return errore(registro.errore(), fallito);
        return errore(QStringLiteral("la classe %1 non è nel registro.").arg(virgolette(classe)), sbagliato);
    }
    Riepilogo::Periodo periodo{dal, al};
    if (!dal.isValid() && !al.isValid())
        periodo = Riepilogo::Periodo::annoScolastico(Riepilogo::oggi());
    const auto dati = Riepilogo::DatiClasse::carica(registro, trovata->id, periodo);
    if (!dati)
        return errore(registro.errore(), fallito);

    auto riservato = std::make_unique<FileRiservato>(file);
    if (!riservato->pronto())
        return errore(riservato->esiste()
                          ? QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(virgolette(file))
                          : QStringLiteral("non si può scrivere nella cartella %1.")
                                .arg(virgolette(QDir::toNativeSeparators(QFileInfo(file).absolutePath()))),
                      fallito);
    const auto superficie = StampanteCorrente::documentoPdf(std::move(riservato));
    if (!RapportiRegistro::stampaClasse(*superficie, {trovata->nome, periodo, -1}, dati->righe(periodo)))
        return errore(QStringLiteral("non è stato possibile scrivere il file %1.").arg(virgolette(file)), fallito);
    return 0;
}

namespace {

const QString nuovaPasswordOpzione = QStringLiteral("registro-nuova-password");
const QString rapportoOpzione = QStringLiteral("rapporto-pdf");

void tace(QtMsgType tipo, const QMessageLogContext &, const QString &testo)
{
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
        std::fprintf(stderr, "quorvel: %s\n", testo.toLocal8Bit().constData());
}

std::optional<QDate> giorno(const QCommandLineParser &parser, const QString &nome, bool *sbagliata)
{
    if (!parser.isSet(nome))
        return QDate();
    const QDate d = QDate::fromString(parser.value(nome), Qt::ISODate);
    if (!d.isValid()) {
        *sbagliata = true;
        errore(QStringLiteral("--%1 vuole una data AAAA-MM-GG, non %2.").arg(nome, virgolette(parser.value(nome))),
               sbagliato);
    }
    return d;
}

int conApplicazione(const QStringList &argomenti)
{
    QCommandLineParser parser;
    parser.addOptions(opzioni());
    parser.addOptions({{"classe", "La classe.", "C"},
                       {"dal", "Il primo giorno, AAAA-MM-GG.", "D"},
                       {"al", "L'ultimo giorno, AAAA-MM-GG.", "D"},
                       {"registro", "Il file del registro.", "FILE"}});
    if (!parser.parse(argomenti))
        return errore(parser.errorText(), sbagliato);
    if (!parser.positionalArguments().isEmpty())
        return errore(
            QStringLiteral("l'argomento %1 non è previsto.").arg(virgolette(parser.positionalArguments().first())),
            sbagliato);
    const QString file = parser.isSet("registro") ? parser.value("registro") : Registro::filePredefinito();
    if (parser.isSet(nuovaPasswordOpzione))
        return nuovaPassword(file);
    const QString pdf = parser.value(rapportoOpzione);
    if (pdf.isEmpty())
        return errore(QStringLiteral("manca il nome del file PDF dopo --rapporto-pdf."), sbagliato);
    if (!parser.isSet("classe"))
        return errore(QStringLiteral("manca --classe con il nome della classe; si scrive: quorvel --rapporto-pdf FILE "
                                     "--classe C [--dal AAAA-MM-GG] [--al AAAA-MM-GG]."),
                      sbagliato);
    bool sbagliata = false;
    const QDate dal = *giorno(parser, "dal", &sbagliata);
    const QDate al = *giorno(parser, "al", &sbagliata);
    if (sbagliata)
        return sbagliato;
    if (!QFileInfo::exists(file))
        return errore(QStringLiteral("il registro %1 non esiste: nessuna classe è stata ancora creata.")
                          .arg(virgolette(QDir::toNativeSeparators(file))),
                      fallito);
    const std::unique_ptr<Registro> registro = Registro::apri(file);
    return rapportoPdf(*registro, pdf, parser.value("classe"), dal, al);
}

} // namespace

bool richiesta(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        for (const QString &nome : {nuovaPasswordOpzione, rapportoOpzione})
            if (a == QStringLiteral("--") + nome || a.startsWith(QStringLiteral("--") + nome + QLatin1Char('=')))
                return true;
    }
    return false;
}

QList<QCommandLineOption> opzioni()
{
    return {{nuovaPasswordOpzione, "Sceglie una nuova password dell'insegnante per il registro di questo PC "
                                   "(solo il proprietario del registro)."},
            {rapportoOpzione,
             "Scrive senza finestre il riepilogo di una classe (--classe C, con --dal e --al a "
             "scelta) in un file PDF nuovo.",
             "FILE"}};
}

int esegui(int argc, char *argv[])
{
    // The report's pages are drawn off screen; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(tace);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    return conApplicazione(QApplication::arguments());
}

} // namespace ComandiInsegnante
