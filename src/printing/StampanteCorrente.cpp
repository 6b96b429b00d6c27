#include "StampanteCorrente.h"

#include "CodaCups.h"
#include "FilePdf.h"
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

std::unique_ptr<SuperficieStampa> StampanteCorrente::apriDocumento() const
{
    if (pdf_)
        return std::make_unique<SuperficiePdf>(std::make_unique<FilePdf>());
    return std::make_unique<SuperficiePdf>(std::make_unique<CodaCups>(nome_));
}
