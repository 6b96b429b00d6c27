#pragma once

#include "insegnante/ModelliRegistro.h"
#include "insegnante/RapportiRegistro.h"

#include <QDialog>
#include <QMap>

class GraficoAndamento;
class QComboBox;
class QLabel;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class Registro;

// A pupil's progress: the chart per school week, the same figures as a table,
// and the list of the pupil's results in the period; all of one level, or of
// every level with a warning that they are mixed.
class FrmAndamento : public QDialog {
    Q_OBJECT
public:
    FrmAndamento(Registro &registro, const Riepilogo::DatiClasse &dati, int alunno, QDate oggi,
                 RapportiRegistro::Intestazione intestazione, QWidget *genitore = nullptr);

    const ModelloAndamento &andamento() const { return *andamento_; }
    GraficoAndamento *grafico() const { return grafico_; }
    QTableView *tabellaSettimane() const { return settimane_; }
    QTableView *elenco() const { return elenco_; }
    QComboBox *livelli() const { return livelli_; }
    // The school year's figures of the level shown.
    const Riepilogo::RigaAlunno &riga() const { return riga_; }
    // The level shown; 0: every level.
    int livello() const;

signals:
    // The pupil's page, to the current printer or (with a file) to a PDF.
    void stampaRichiesta(const QString &file);
    // Every result the register keeps of the pupil, as a PDF for their family.
    void datiRichiesti(const QString &file);

private:
    void mostraLivello();
    void leggiRisultati();

    Registro &registro_;
    RapportiRegistro::Intestazione intestazione_;
    ModelloAndamento *andamento_ = nullptr;
    GraficoAndamento *grafico_ = nullptr;
    QTableView *settimane_ = nullptr;
    QTableView *elenco_ = nullptr;
    QStandardItemModel *risultati_ = nullptr;
    QTabWidget *schede_ = nullptr;
    QComboBox *livelli_ = nullptr;
    QLabel *riassunto_ = nullptr;
    QLabel *misti_ = nullptr;
    // Per level (0: all of them), worked out once: the window outlives the class's data it came from.
    QMap<int, Riepilogo::RigaAlunno> righe_;
    QMap<int, QList<Riepilogo::Punto>> punti_;
    Riepilogo::RigaAlunno riga_;
};
