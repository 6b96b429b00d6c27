#include "RigaComandoSchede.h"

#include "SchedeClasse.h"
#include "core/Casuale.h"
#include "core/Livello.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "ui/RegistroFinestre.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <optional>

namespace {

constexpr int argomentiSbagliati = 2;
constexpr int scritturaFallita = 1;

// Re-seeds when the draws ask, as they always do, but from a fixed reading, so
// that the seed alone decides the sheets.
class CasualeConSeme : public GeneratoreCasuale {
public:
    using GeneratoreCasuale::GeneratoreCasuale;
    void semina(double) override { GeneratoreCasuale::semina(0); }
};

int errore(const QString &frase, int codice = argomentiSbagliati)
{
    std::fprintf(stderr, "quorvel: %s\n", frase.toLocal8Bit().constData());
    return codice;
}

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

std::optional<int> intero(const QString &testo, int minimo, int massimo)
{
    bool ok = false;
    const int valore = testo.toInt(&ok);
    if (!ok || valore < minimo || valore > massimo)
        return std::nullopt;
    return valore;
}

// The document's file, which takes its name only whole and never an existing
// file's; or the sentence that says why it cannot be written.
std::unique_ptr<FileRiservato> riserva(const QString &file, QString *motivo)
{
    auto riservato = std::make_unique<FileRiservato>(file);
    if (riservato->pronto())
        return riservato;
    *motivo = riservato->esiste()
                  ? QStringLiteral("il file %1 esiste già e non viene sovrascritto.").arg(virgolette(file))
                  : QStringLiteral("non si può scrivere nella cartella %1.")
                        .arg(virgolette(QDir::toNativeSeparators(QFileInfo(file).absolutePath())));
    return nullptr;
}

void tace(QtMsgType tipo, const QMessageLogContext &, const QString &testo)
{
    // The command speaks to a teacher: Qt's warnings about the missing display are noise.
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg)
        std::fprintf(stderr, "quorvel: %s\n", testo.toLocal8Bit().constData());
}

int eseguiConApplicazione(const QStringList &argomenti)
{
    QCommandLineParser parser;
    parser.addOptions(RigaComandoSchede::opzioni());
    if (!parser.parse(argomenti)) {
        const QStringList sconosciute = parser.unknownOptionNames();
        if (!sconosciute.isEmpty())
            return errore(QStringLiteral("l'opzione %1 non esiste; per le schede servono --schede, --copie e --pdf, "
                                         "con --soluzioni, --seme e --livello a scelta.")
                              .arg(virgolette(QStringLiteral("--") + sconosciute.first())));
        return errore(QStringLiteral("a un'opzione manca il suo valore; si scrive: quorvel --schede 1|2|3 --copie K "
                                     "--pdf FILE [--soluzioni] [--seme S] [--livello 1..6]."));
    }
    if (!parser.positionalArguments().isEmpty())
        return errore(QStringLiteral("l'argomento %1 non è previsto; si scrive: quorvel --schede 1|2|3 --copie K "
                                     "--pdf FILE [--soluzioni] [--seme S] [--livello 1..6].")
                          .arg(virgolette(parser.positionalArguments().first())));
    if (!parser.isSet("schede"))
        return errore(QStringLiteral("manca --schede con il tipo di scheda, 1, 2 o 3."));
    const std::optional<int> tipo = intero(parser.value("schede"), 1, 3);
    if (!tipo)
        return errore(
            QStringLiteral("il tipo di scheda deve essere 1, 2 o 3, non %1.").arg(virgolette(parser.value("schede"))));
    if (!parser.isSet("copie"))
        return errore(QStringLiteral("manca --copie con il numero di schede, da %1 a %2.")
                          .arg(SchedeClasse::minimo)
                          .arg(SchedeClasse::massimo));
    const std::optional<int> copie = intero(parser.value("copie"), SchedeClasse::minimo, SchedeClasse::massimo);
    if (!copie)
        return errore(QStringLiteral("il numero di copie deve essere un numero intero da %1 a %2, non %3.")
                          .arg(SchedeClasse::minimo)
                          .arg(SchedeClasse::massimo)
                          .arg(virgolette(parser.value("copie"))));
    std::optional<quint64> seme;
    if (parser.isSet("seme")) {
        bool ok = false;
        seme = parser.value("seme").toULongLong(&ok);
        if (!ok)
            return errore(QStringLiteral("il seme deve essere un numero intero non negativo, non %1.")
                              .arg(virgolette(parser.value("seme"))));
    }
    const Livello *livello = nullptr;
    if (parser.isSet("livello")) {
        const std::optional<int> numero = intero(parser.value("livello"), Livello::primo, Livello::ultimo);
        if (!numero)
            return errore(QStringLiteral("il livello deve essere un numero intero da %1 a %2, non %3.")
                              .arg(Livello::primo)
                              .arg(Livello::ultimo)
                              .arg(virgolette(parser.value("livello"))));
        livello = &Livello::di(*numero);
        // A set at another level than the one asked for would not be what the class practises.
        if (!livello->offre(*tipo - 1))
            return errore(QStringLiteral("il livello %1 non ha schede del tipo %2: le hanno i livelli da %3 a %4.")
                              .arg(*numero)
                              .arg(*tipo)
                              .arg(livello->perTipo(*tipo - 1).numero())
                              .arg(Livello::ultimo));
    }
    const QString file = parser.value("pdf");
    if (file.isEmpty())
        return errore(QStringLiteral("manca --pdf con il nome del file PDF da scrivere."));
    QString motivo;
    std::unique_ptr<FileRiservato> riservato = riserva(file, &motivo);
    if (!riservato)
        return errore(motivo);

    CasualeConSeme conSeme(seme.value_or(0));
    Casuale &casuale = seme ? static_cast<Casuale &>(conSeme) : Casuale::corrente();
    const SchedeClasse schede = SchedeClasse::estrai(casuale, *tipo, *copie, livello);
    const std::unique_ptr<SuperficieStampa> superficie = StampanteCorrente::documentoPdf(std::move(riservato));
    superficie->seguiPagine([totale = *copie](int pagine) {
        if (pagine <= totale && pagine % 10 == 0)
            std::fprintf(stderr, "quorvel: %d schede su %d pronte\n", pagine, totale);
    });
    if (!schede.stampa(*superficie, parser.isSet("soluzioni")))
        return errore(QStringLiteral("non è stato possibile scrivere il file %1.").arg(virgolette(file)),
                      scritturaFallita);
    return 0;
}

} // namespace

namespace RigaComandoSchede {

bool richiesta(int argc, char *argv[])
{
    const QList<QCommandLineOption> nostre = opzioni();
    for (int i = 1; i < argc; ++i) {
        const QString argomento = QString::fromLocal8Bit(argv[i]);
        for (const QCommandLineOption &o : nostre) {
            const QString nome = QStringLiteral("--") + o.names().first();
            if (argomento == nome || argomento.startsWith(nome + QLatin1Char('=')))
                return true;
        }
    }
    return false;
}

QList<QCommandLineOption> opzioni()
{
    return {{"schede", "Scrive senza finestre una serie di schede per la classe, del tipo 1, 2 o 3.", "1|2|3"},
            {"copie", "Quante schede, da 1 a 40, ognuna diversa dalle altre.", "K"},
            {"pdf", "Il file PDF da scrivere; un file che esiste non viene mai sovrascritto.", "FILE"},
            {"soluzioni", "Aggiunge dopo le schede le pagine con le soluzioni."},
            {"seme", "Lo stesso seme dà le stesse schede.", "S"},
            {"livello",
             "Il livello delle schede, da 1 a 6, con i numeri che la classe usa negli esercizi "
             "(senza: i numeri di sempre). Con --classe, il livello fisso degli esercizi della classe o, "
             "con --alunno, dell'alunno (nessuno: nessun livello).",
             "1..6"}};
}

int esegui(int argc, char *argv[])
{
    // No display is needed: the pages are drawn off screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(tace);
    QApplication app(argc, argv);
    const int esito = eseguiConApplicazione(QApplication::arguments());
    // The picture store is a window: unload it before the application goes.
    RegistroFinestre::istanza().chiudiTutto();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return esito;
}

} // namespace RigaComandoSchede
