#pragma once

#include "FilePdf.h"

#include "core/FileNuovo.h"

// A document for one file named by the user, on the paper of "File PDF". The file
// takes its name only once the whole document is written, and never that of an
// existing file, not even one made while the document was drawn; it is readable by
// its owner only. Made before drawing, so that a file that exists or a folder that
// cannot be written is told at once.
class FileRiservato : public FilePdf {
public:
    explicit FileRiservato(QString file);

    // Whether the document can be written: the name is free and the folder takes a file.
    bool pronto() const { return scritto_.aperto(); }
    // Not ready because a file has the name already.
    bool esiste() const { return esiste_; }

    std::optional<Foglio> foglio() override;
    bool consegna(const QByteArray &pdf) override;
    QString file() const override { return scritto_.nome(); }
    QString spiegazione() const override { return spiegazione_; }

private:
    void fallisci();

    QString file_;
    FileNuovo scritto_;
    QString spiegazione_;
    bool esiste_ = false;
};
