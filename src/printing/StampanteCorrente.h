#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class FileRiservato;
class SuperficieStampa;

// The application's current printer, one for the whole program: the system's
// default printer at start (the first listed when there is no default), replaced
// from the printer window, never saved. With no printer installed it is the
// PDF writer, which puts each document in a new file of the documents folder.
class StampanteCorrente {
public:
    static StampanteCorrente &istanza();

    // The entry of the printer list that stands for the PDF writer.
    static QString nomeFilePdf() { return QStringLiteral("File PDF"); }
    // Device names of the installed printers, in the system's order.
    static QStringList installate();

    QString nome() const { return pdf_ ? nomeFilePdf() : nome_; }
    bool suFilePdf() const { return pdf_; }
    void impostaStampante(const QString &nome);
    void impostaFilePdf();
    // Back to the printer of the start of the program, as the system has it now.
    void ripristina();

    // A document on the current printer, or on "File PDF" whatever the current
    // printer is. It may be in error from its first operation.
    std::unique_ptr<SuperficieStampa> apriDocumento(bool suFilePdf = false) const;
    // A document that is not a worksheet: on "File PDF" its file is "<radice>.pdf" ("<radice> (2).pdf",
    // ...) rather than a worksheet's. Its drawing titles it.
    std::unique_ptr<SuperficieStampa> apriDocumentoCome(const QString &radice) const;
    // A document for one file named by the user, which gets it only whole.
    static std::unique_ptr<SuperficieStampa> documentoPdf(std::unique_ptr<FileRiservato> file);

private:
    StampanteCorrente();
    QString nome_;
    bool pdf_ = false;
};
