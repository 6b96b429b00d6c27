#include "FileRiservato.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

FileRiservato::FileRiservato(QString file) : file_(std::move(file)) {}

FileRiservato::~FileRiservato()
{
    if (!scritto_)
        QFile::remove(file_);
}

bool FileRiservato::consegna(const QByteArray &pdf)
{
    // Written beside it and renamed over it: a cut-short write leaves no half document.
    QSaveFile file(file_);
    scritto_ = file.open(QIODevice::WriteOnly) && file.write(pdf) == pdf.size() && file.commit();
    if (!scritto_)
        spiegazione_ = QStringLiteral("Il file %1 non è stato scritto: %2.")
                           .arg(QDir::toNativeSeparators(file_), file.errorString());
    return scritto_;
}
