#include "PdfInsegnante.h"

#include "printing/FilePdf.h"
#include "printing/FileRiservato.h"
#include "printing/StampanteCorrente.h"
#include "printing/SuperficieStampa.h"
#include "ui/Messaggio.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {
const QString suffisso = QStringLiteral(".pdf");

QString radice(const QString &nome)
{
    return nome.endsWith(suffisso, Qt::CaseInsensitive) ? nome.chopped(suffisso.size()) : nome;
}
} // namespace

QString PdfInsegnante::nomeFile(const QString &cosa, const QString &di)
{
    return QStringLiteral("%1 %2%3").arg(cosa, QString(di).replace(QLatin1Char('/'), QLatin1Char('-')), suffisso);
}

QString PdfInsegnante::conSuffisso(const QString &file)
{
    return file.endsWith(suffisso, Qt::CaseInsensitive) ? file : file + suffisso;
}

QString PdfInsegnante::nomeLibero(const QDir &cartella, const QString &nome)
{
    const QString base = radice(nome);
    QString libero = cartella.filePath(base + suffisso);
    for (int n = 2; QFileInfo(libero).exists() || QFileInfo(libero).isSymLink(); ++n)
        libero = cartella.filePath(QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffisso));
    return libero;
}

QString PdfInsegnante::chiedi(QWidget *genitore, const QString &titoloDialogo, const QString &nome)
{
    // The documents folder, as "File PDF" uses it; the home folder when there is none.
    QString cartella = FilePdf::cartellaDocumenti();
    if (cartella.isEmpty() || !QDir().mkpath(cartella))
        cartella = QDir::homePath();
    // Overwriting is never offered: an existing name is refused when the file is made.
    const QString scelto =
        QFileDialog::getSaveFileName(genitore, titoloDialogo, nomeLibero(QDir(cartella), nome),
                                     QStringLiteral("PDF (*.pdf)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (scelto.isEmpty())
        return {};
    // Blanks alone make a file no one finds again in the folder, or sees as having a name.
    if (radice(QFileInfo(scelto).fileName()).trimmed().isEmpty()) {
        Messaggio::mostra(QStringLiteral("Il file non è stato salvato: il nome scritto è vuoto."));
        return {};
    }
    return conSuffisso(scelto);
}

std::unique_ptr<SuperficieStampa> PdfInsegnante::documento(const QString &file, const QString &nome, QString *errore)
{
    if (file.isEmpty())
        return StampanteCorrente::istanza().apriDocumentoCome(radice(nome));
    auto riservato = std::make_unique<FileRiservato>(file);
    if (!riservato->pronto()) {
        const QString nativo = QDir::toNativeSeparators(file);
        if (errore)
            *errore = riservato->esiste()
                          ? QStringLiteral("Il file %1 esiste già e non viene sovrascritto: salvare con un altro "
                                           "nome.")
                                .arg(nativo)
                          : QStringLiteral("Il file %1 non si può creare: la cartella non esiste o non si può "
                                           "scrivere.")
                                .arg(nativo);
        return nullptr;
    }
    return StampanteCorrente::documentoPdf(std::move(riservato));
}
