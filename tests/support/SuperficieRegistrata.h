#pragma once

#include "printing/SuperficieStampa.h"

#include <QStringList>

// A surface that writes down every operation as one line of text, for tests and
// measurements. It can be told to fail from a given operation on.
class SuperficieRegistrata : public SuperficieStampa {
public:
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

    // The operation with this 0-based number and all later ones fail.
    void falliscaDa(int numero) { falliscaDa_ = numero; }

    // "X 3000", "Y 1000", "Carattere 14", "Testo <text>", "Spessore 3",
    // "Linea 500,2000 5000,2000", "Disegno 830,2200 #7" (picture number), "NuovaPagina", "Fine".
    const QStringList &operazioni() const { return operazioni_; }
    // Documents sent, whatever their number of pages.
    int pagineInviate() const { return pagine_; }

private:
    bool registra(const QString &operazione);

    QStringList operazioni_;
    int falliscaDa_ = -1;
    int tentate_ = 0;
    int pagine_ = 0;
    int pagineFatte_ = 0;
    bool errore_ = false;
};
