#pragma once

#include "Destinazione.h"
#include "SuperficieStampa.h"

#include <QRectF>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

// A document drawn into a PDF and handed to its destination in one go when it
// ends, so a document that failed half way never reaches the printer. The paper
// is asked for at the first operation, so the heading learns of a missing
// printer at once. Each page is drawn from the top-left corner of the printable
// area; a page whose drawing does not fit there is scaled down, uniformly, just
// enough to fit.
class SuperficiePdf : public SuperficieStampa {
public:
    explicit SuperficiePdf(std::unique_ptr<Destinazione> destinazione);
    ~SuperficiePdf() override;

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
    void impostaTitolo(const QString &titolo) override { destinazione_->impostaTitolo(titolo); }
    QString fileProdotto() const override { return inviata_ ? destinazione_->file() : QString(); }
    QString spiegazioneErrore() const override { return errore_ ? destinazione_->spiegazione() : QString(); }

    // The scale a page's drawing gets on this paper: 1, or less where it would not fit.
    static double scalaPer(const QRectF &estensione, const QRectF &area);

private:
    using Passo = std::function<void(QPainter &)>;
    struct Pagina {
        std::vector<Passo> passi;
        // What the drawing covers, in twips from the printable corner.
        QRectF estensione;
    };

    bool pronta();
    void fallisci();
    void aggiungi(const QRectF &copre, Passo passo);
    QByteArray pdf() const;

    std::unique_ptr<Destinazione> destinazione_;
    Foglio foglio_;
    std::vector<Pagina> pagine_{1};
    QPoint posizione_;
    double punti_ = 0;
    int spessore_ = 1;
    bool verificata_ = false;
    bool errore_ = false;
    bool inviata_ = false;
};
