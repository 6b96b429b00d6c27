#include "StampanteCorrente.h"

#include "CodaCups.h"
#include "FilePdf.h"
#include "FileRiservato.h"
#include "SuperficiePdf.h"

#include <QPrinterInfo>

StampanteCorrente &StampanteCorrente::istanza()
{
    static StampanteCorrente corrente;
    return corrente;
}

StampanteCorrente::StampanteCorrente() { ripristina(); }

QStringList StampanteCorrente::installate() { return QPrinterInfo::availablePrinterNames(); }

void StampanteCorrente::impostaStampante(const QString &nome)
{
    nome_ = nome;
    pdf_ = false;
}

void StampanteCorrente::impostaFilePdf()
{
    nome_.clear();
    pdf_ = true;
}

void StampanteCorrente::ripristina()
{
    const QStringList elenco = installate();
    QString predefinita = QPrinterInfo::defaultPrinterName();
    if (predefinita.isEmpty() || !elenco.contains(predefinita))
        predefinita = elenco.value(0);
    if (predefinita.isEmpty())
        impostaFilePdf();
    else
        impostaStampante(predefinita);
}

std::unique_ptr<SuperficieStampa> StampanteCorrente::apriDocumento(bool suFilePdf) const
{
    // A class set asked for as a PDF gets a name of its own.
    if (suFilePdf)
        return std::make_unique<SuperficiePdf>(
            std::make_unique<FilePdf>(FilePdf::cartellaDocumenti(), QStringLiteral("Schede")));
    if (pdf_)
        return std::make_unique<SuperficiePdf>(std::make_unique<FilePdf>());
    return std::make_unique<SuperficiePdf>(std::make_unique<CodaCups>(nome_));
}

std::unique_ptr<SuperficieStampa> StampanteCorrente::apriDocumentoCome(const QString &radice) const
{
    if (!pdf_)
        return apriDocumento();
    return std::make_unique<SuperficiePdf>(std::make_unique<FilePdf>(
        FilePdf::cartellaDocumenti(), radice, QStringLiteral("Il file «%1.pdf» non è stato salvato").arg(radice)));
}

std::unique_ptr<SuperficieStampa> StampanteCorrente::documentoPdf(std::unique_ptr<FileRiservato> file)
{
    return std::make_unique<SuperficiePdf>(std::move(file));
}
