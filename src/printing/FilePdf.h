#pragma once

#include "Destinazione.h"

// "File PDF": every document a new file in a folder (the documents folder
// unless told otherwise), never overwriting one, and given its name only once
// every byte of it is written.
class FilePdf : public Destinazione {
public:
    // radice: the files are "<radice>.pdf", "<radice> (2).pdf", ...; nonSalvato begins the
    // sentence of a failure.
    explicit FilePdf(QString cartella = cartellaDocumenti(), QString radice = QStringLiteral("Scheda"),
                     QString nonSalvato = QStringLiteral("La scheda non è stata salvata"));

    // The user's documents folder; with no HOME, under the home folder the user
    // database gives, never at the root of the file system. Empty when there is none.
    static QString cartellaDocumenti();

    // A4 with a margin of 10 pt all round, as a typical printer has.
    std::optional<Foglio> foglio() override;
    bool consegna(const QByteArray &pdf) override;
    QString file() const override { return file_; }
    QString spiegazione() const override { return spiegazione_; }

private:
    bool fallisci(const QString &motivo);

    QString cartella_;
    QString radice_;
    QString nonSalvato_;
    QString file_;
    QString spiegazione_;
};
