#include "CsvAlunni.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace CsvAlunni {

namespace {

QString virgolette(const QString &testo) { return QStringLiteral("«") + testo + QStringLiteral("»"); }

QString nativo(const QString &file) { return virgolette(QDir::toNativeSeparators(file)); }

constexpr qsizetype massimoByte = 1 << 20;
constexpr int massimoRighe = 5000;

// Lines as the reader below counts them: "\n", "\r\n" or a lone "\r" ends one.
qsizetype righeDi(const QByteArray &dati)
{
    qsizetype righe = 0;
    for (qsizetype i = 0; i < dati.size(); ++i)
        if (dati[i] == '\n' || (dati[i] == '\r' && (i + 1 == dati.size() || dati[i + 1] != '\n')))
            ++righe;
    return righe + (dati.isEmpty() || dati.endsWith('\n') || dati.endsWith('\r') ? 0 : 1);
}

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

} // namespace

std::optional<Classe> importa(Registro &registro, const QString &nomeClasse, const QString &file,
                              const NumeroFigura &figuraDa, int *importati, QString *motivoFinale)
{
    const auto errore = [&](const QString &frase) {
        *motivoFinale = frase;
        return std::optional<Classe>();
    };
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return errore(QStringLiteral("il file %1 non si può leggere: %2").arg(nativo(file), f.errorString()));
    // A class's list is a few dozen lines: a file past the limits is not one (or never ends, as
    // /dev/zero), and only just past them is read to tell.
    QByteArray dati = f.read(massimoByte + 1);
    if (dati.size() > massimoByte)
        return errore(QStringLiteral("il file %1 è più grande di 1 MiB: non è un elenco di alunni.").arg(nativo(file)));
    if (righeDi(dati) > massimoRighe)
        return errore(QStringLiteral("il file %1 ha più di %2 righe: non è un elenco di alunni.")
                          .arg(nativo(file))
                          .arg(massimoRighe));
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
            if (!f || *f < 1 || *f > Contrassegno::numeroFigure)
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
    *importati = int(alunni.size());
    return classe;
}

} // namespace CsvAlunni
