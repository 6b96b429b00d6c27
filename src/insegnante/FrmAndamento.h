#pragma once

#include "insegnante/ModelliRegistro.h"
#include "insegnante/RapportiRegistro.h"

#include <QDialog>

class GraficoAndamento;
class QTableView;
class Registro;

// A pupil's progress: the chart per school week, the same figures as a table,
// and the list of the pupil's results in the period.
class FrmAndamento : public QDialog {
    Q_OBJECT
public:
    FrmAndamento(Registro &registro, const Riepilogo::DatiClasse &dati, int alunno, QDate oggi,
                 RapportiRegistro::Intestazione intestazione, QWidget *genitore = nullptr);

    const ModelloAndamento &andamento() const { return *andamento_; }
    GraficoAndamento *grafico() const { return grafico_; }
    QTableView *tabellaSettimane() const { return settimane_; }
    QTableView *elenco() const { return elenco_; }
    const Riepilogo::RigaAlunno &riga() const { return riga_; }

signals:
    // The pupil's page, to the current printer or (with a file) to a PDF.
    void stampaRichiesta(const QString &file);
    // Every result the register keeps of the pupil, as a PDF for their family.
    void datiRichiesti(const QString &file);

private:
    ModelloAndamento *andamento_ = nullptr;
    GraficoAndamento *grafico_ = nullptr;
    QTableView *settimane_ = nullptr;
    QTableView *elenco_ = nullptr;
    Riepilogo::RigaAlunno riga_;
};
