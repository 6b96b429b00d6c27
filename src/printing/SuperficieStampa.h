#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class Disegno;

// The drawing surface of a printed document, in twips from the top-left corner of
// the printable area. A failure is sticky: once inErrore() is true every later
// drawing does nothing and fineDocumento() sends nothing.
class SuperficieStampa {
public:
    virtual ~SuperficieStampa() = default;

    virtual void impostaX(int twips) = 0;
    virtual void impostaY(int twips) = 0;
    virtual void impostaCarattere(double punti) = 0;
    // Prints with the text's top-left corner at the current position.
    virtual void stampaTesto(const QString &testo) = 0;
    // In printer pixels.
    virtual void impostaSpessoreLinea(int pixel) = 0;
    virtual void linea(QPoint da, QPoint a) = 0;
    // At the picture's own size, its top-left corner at the point.
    virtual void disegno(QPoint inAltoASinistra, const Disegno &figura) = 0;
    // The next drawing goes on a new page of the same document.
    virtual void nuovaPagina() = 0;
    // Sends the document, all its pages in one job; false when nothing was sent.
    virtual bool fineDocumento() = 0;

    virtual bool inErrore() const = 0;
    // What the document is: the PDF's title, the print job's name. A worksheet unless told.
    virtual void impostaTitolo(const QString &titolo) { (void)titolo; }
    // The file the page went to, for a printer that writes files; empty otherwise.
    virtual QString fileProdotto() const { return {}; }
    // After an error: what to tell the user, when there is more to say than
    // that the printer failed; empty otherwise.
    virtual QString spiegazioneErrore() const { return {}; }

    // Told the number of pages done so far while the document is being produced,
    // which for a long document is where the time goes.
    void seguiPagine(std::function<void(int)> avanzamento) { avanzamento_ = std::move(avanzamento); }

protected:
    void paginaFatta(int pagine) const
    {
        if (avanzamento_)
            avanzamento_(pagine);
    }

private:
    std::function<void(int)> avanzamento_;
};
