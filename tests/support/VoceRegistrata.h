#pragma once

#include "voce/Voce.h"

#include <QStringList>

// A voice that writes down what it is asked to say, instead of saying it.
class VoceRegistrata : public Voce {
    Q_OBJECT
public:
    Stato stato() const override { return stato_; }
    QString mancante() const override { return QStringLiteral("Nessuna voce italiana: installare il pacchetto"); }
    void prepara() override { ++preparazioni; }
    void pronuncia(const QString &frase) override { frasi.append(frase); }
    void taci() override { ++silenzi; }

    void impostaStato(Stato stato)
    {
        stato_ = stato;
        emit statoCambiato();
    }

    QStringList frasi;
    int preparazioni = 0;
    int silenzi = 0;

private:
    Stato stato_ = Stato::Pronta;
};
