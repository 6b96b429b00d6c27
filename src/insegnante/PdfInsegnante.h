#pragma once

#include <QString>

#include <memory>

class QDir;
class QWidget;
class SuperficieStampa;

// Every PDF of the teacher's window the same way: named after what it is and whose
// ("Riepilogo 1ª A.pdf"), suggested in the documents folder under a name no file has,
// given ".pdf" when the name typed lacks it, and written as a new file readable by its
// owner only, never over another. Printed, the same name titles the job.
class PdfInsegnante {
public:
    // "Riepilogo 1ª A.pdf": `cosa` and `di`, with no folder separator in the name.
    static QString nomeFile(const QString &cosa, const QString &di);
    // The file's name as it will be written: ".pdf" added unless it ends so already (any case).
    static QString conSuffisso(const QString &file);
    // "<nome>.pdf" in the folder, or the first of "<nome> (2).pdf", "<nome> (3).pdf"... no file has.
    static QString nomeLibero(const QDir &cartella, const QString &nome);

    // Where to save `nome` (a nomeFile()): the teacher's choice, with its suffix; empty when cancelled.
    static QString chiedi(QWidget *genitore, const QString &titoloDialogo, const QString &nome);

    // A document in the new file `file` when one is named, else on the current printer, where
    // "File PDF" names its file after `nome`. Nothing when `file` cannot be made: `errore` says why.
    static std::unique_ptr<SuperficieStampa> documento(const QString &file, const QString &nome, QString *errore);
};
