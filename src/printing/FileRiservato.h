#pragma once

#include "FilePdf.h"

// A document for one file named by the user, which the caller has already made,
// empty and new, so that no existing file is ever overwritten. The paper is that
// of "File PDF". The file gets the document only whole, and is removed when the
// document is not written.
class FileRiservato : public FilePdf {
public:
    explicit FileRiservato(QString file);
    ~FileRiservato() override;

    bool consegna(const QByteArray &pdf) override;
    QString file() const override { return scritto_ ? file_ : QString(); }
    QString spiegazione() const override { return spiegazione_; }

private:
    QString file_;
    QString spiegazione_;
    bool scritto_ = false;
};
