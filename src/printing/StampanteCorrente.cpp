#include "StampanteCorrente.h"

#include "SuperficieQPrinter.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

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

QString StampanteCorrente::riservaFilePdf(const QString &radice)
{
    QString cartella = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (cartella.isEmpty())
        cartella = QDir::homePath();
    if (!QDir().mkpath(cartella))
        return {};
    const QDir dir(cartella);
    for (int n = 1; n < 100000; ++n) {
        const QString nome =
            n == 1 ? radice + QStringLiteral(".pdf") : QStringLiteral("%1 (%2).pdf").arg(radice).arg(n);
        QFile file(dir.filePath(nome));
        // NewOnly: an existing file, even one made by someone else meanwhile, is never touched.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return file.fileName();
        if (!file.exists())
            return {}; // not writable: trying other names will not help
    }
    return {};
}

std::unique_ptr<SuperficieStampa> StampanteCorrente::documentoPdf(const QString &fileRiservato)
{
    auto stampante = std::make_unique<QPrinter>(QPrinter::HighResolution);
    stampante->setOutputFormat(QPrinter::PdfFormat);
    stampante->setPageSize(QPageSize(QPageSize::A4));
    stampante->setPageOrientation(QPageLayout::Portrait);
    stampante->setOutputFileName(fileRiservato);
    return std::make_unique<SuperficieQPrinter>(std::move(stampante), fileRiservato);
}

std::unique_ptr<SuperficieStampa> StampanteCorrente::apriDocumento(bool suFilePdf) const
{
    if (pdf_ || suFilePdf)
        return documentoPdf(riservaFilePdf(suFilePdf ? QStringLiteral("Schede") : QStringLiteral("Scheda")));
    return SuperficieQPrinter::perCoda(nome_);
}
