#include "FileRiservato.h"

#include <QDir>
#include <QFileInfo>

FileRiservato::FileRiservato(QString file) : file_(std::move(file)), scritto_(file_)
{
    const QFileInfo info(file_);
    esiste_ = info.exists() || info.isSymLink();
    if (!esiste_)
        scritto_.apri();
}

std::optional<Foglio> FileRiservato::foglio()
{
    if (!pronto()) {
        fallisci();
        return std::nullopt;
    }
    return FilePdf::foglio();
}

bool FileRiservato::consegna(const QByteArray &pdf)
{
    if (scritto_.scrivi(pdf) && scritto_.concludi())
        return true;
    fallisci();
    return false;
}

void FileRiservato::fallisci()
{
    scritto_.abbandona();
    const QString nome = QDir::toNativeSeparators(file_);
    spiegazione_ = esiste_ || scritto_.nomePreso()
                       ? QStringLiteral("Il file %1 esiste già e non viene sovrascritto.").arg(nome)
                       : QStringLiteral("Il file %1 non è stato scritto: %2.").arg(nome, scritto_.errore());
}
