#pragma once

#include "SuperficieStampa.h"

#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPrinter;

// The page on a real printer. The drawing is kept until fineDocumento() and only
// then painted and sent in one go, so a page that failed half way never reaches
// the printer. Whether the printer can take the page at all is checked at the
// first operation, so the heading learns of a missing printer at once.
class SuperficieQPrinter : public SuperficieStampa {
public:
    // fileRiservato: an empty file reserved for a PDF writer; removed when the page fails.
    explicit SuperficieQPrinter(std::unique_ptr<QPrinter> stampante, QString fileRiservato = {});
    // A page for a queue of the print service. Qt quietly puts a page for an
    // unknown queue on the default one: this page fails unless that very queue takes it.
    static std::unique_ptr<SuperficieQPrinter> perCoda(const QString &coda);
    ~SuperficieQPrinter() override;

    void impostaX(int twips) override;
    void impostaY(int twips) override;
    void impostaCarattere(double punti) override;
    void stampaTesto(const QString &testo) override;
    void impostaSpessoreLinea(int pixel) override;
    void linea(QPoint da, QPoint a) override;
    void disegno(QPoint inAltoASinistra, const Disegno &figura) override;
    void nuovaPagina() override;
    bool fineDocumento() override;
    bool inErrore() const override { return errore_; }
    QString fileProdotto() const override { return inviata_ ? fileRiservato_ : QString(); }

    QPrinter &stampante() const { return *stampante_; }

private:
    bool pronta();
    void fallisci();
    void aggiungi(std::function<void(QPainter &)> passo);

    std::unique_ptr<QPrinter> stampante_;
    QString fileRiservato_;
    QString coda_;
    std::vector<std::function<void(QPainter &)>> passi_;
    QPoint posizione_;
    double punti_ = 0;
    int spessore_ = 1;
    bool verificata_ = false;
    bool errore_ = false;
    bool inviata_ = false;
    int pagineFatte_ = 0;
};
