#include "FrmAndamento.h"

#include "insegnante/GraficoAndamento.h"
#include "insegnante/PdfInsegnante.h"
#include "insegnante/RapportiRegistro.h"
#include "registro/Registro.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>

namespace {

QTableView *tabella(QAbstractItemModel *modello, const QString &nome, QWidget *genitore)
{
    auto *vista = new QTableView(genitore);
    vista->setModel(modello);
    vista->setAccessibleName(nome);
    vista->setSelectionBehavior(QAbstractItemView::SelectRows);
    vista->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vista->setTabKeyNavigation(false);
    vista->verticalHeader()->hide();
    vista->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return vista;
}

} // namespace

FrmAndamento::FrmAndamento(Registro &registro, const Riepilogo::DatiClasse &dati, int alunno, QDate oggi,
                           RapportiRegistro::Intestazione intestazione, QWidget *genitore)
    : QDialog(genitore)
{
    const Riepilogo::Periodo anno = Riepilogo::Periodo::annoScolastico(oggi);
    riga_ = dati.righe(anno).at(alunno);
    setWindowTitle(QStringLiteral("Andamento di %1").arg(riga_.alunno.nome));
    setAccessibleName(windowTitle());

    andamento_ = new ModelloAndamento(this);
    andamento_->imposta(dati.andamento(alunno, oggi));
    grafico_ = new GraficoAndamento(this);
    grafico_->impostaModello(andamento_);
    settimane_ = tabella(andamento_, QStringLiteral("Cifre del grafico, per settimana"), this);

    // The pupil's results in the window's period, newest first.
    auto *risultati = new QStandardItemModel(0, 8, this);
    risultati->setHorizontalHeaderLabels({QStringLiteral("Quando"), QStringLiteral("Esercizio"), QStringLiteral("N"),
                                          QStringLiteral("Risposta"), QStringLiteral("Esatta"), QStringLiteral("Aiuto"),
                                          QStringLiteral("Intervento"), QStringLiteral("Secondi")});
    Registro::Filtro filtro;
    filtro.alunno = riga_.alunno.id;
    filtro.dal = intestazione.periodo.dal;
    filtro.al = intestazione.periodo.al;
    filtro.tipo = intestazione.tipo;
    const QLocale italiano(QLocale::Italian, QLocale::Italy);
    QList<QList<QStandardItem *>> righe;
    registro.risultati(filtro, [&](const Registro::RigaRisultato &r) {
        const Risultato &x = r.risultato;
        auto cella = [](const QString &t) {
            auto *c = new QStandardItem(t);
            c->setEditable(false);
            return c;
        };
        righe.append(
            // The moment the period was chosen by: a PC's wrong clock does not show here either.
            {cella(italiano.toString((r.momento.isValid() ? r.momento : x.quando).toTimeZone(QTimeZone("Europe/Rome")),
                                     QStringLiteral("ddd d/M/yyyy HH:mm"))),
             cella(Riepilogo::nomeTipo(x.tipo)), cella(QString::number(x.n)), cella(QString::number(x.risposta)),
             cella(x.esatto ? QStringLiteral("sì") : QStringLiteral("no")), cella(Risultato::nomeAiuto(x.aiuto)),
             cella(x.intervento ? QStringLiteral("sì") : QStringLiteral("no")), cella(QString::number(x.secondi))});
    });
    for (auto it = righe.rbegin(); it != righe.rend(); ++it)
        risultati->appendRow(*it);
    elenco_ = tabella(risultati, QStringLiteral("Risultati di %1").arg(riga_.alunno.nome), this);

    auto *schede = new QTabWidget(this);
    schede->addTab(settimane_, QStringLiteral("&Cifre per settimana"));
    schede->addTab(elenco_, QStringLiteral("&Risultati (%1)").arg(risultati->rowCount()));
    schede->setAccessibleName(QStringLiteral("Tabelle"));

    auto *riassunto = new QLabel(
        QStringLiteral(
            "Anno scolastico: %1 esercizi, esatte %2, aiuti accettati %3, interventi %4, secondi (mediana) %5.")
            .arg(riga_.esercizi)
            .arg(ModelloClasse::testoPercentuale(riga_.percentuale()))
            .arg(riga_.aiuti)
            .arg(riga_.interventi)
            .arg(ModelloClasse::testoSecondi(riga_.mediana)),
        this);
    riassunto->setWordWrap(true);
    riassunto->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto *pulsanti = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *stampa = pulsanti->addButton(QStringLiteral("&Stampa la pagina"), QDialogButtonBox::ActionRole);
    QPushButton *pdf = pulsanti->addButton(QStringLiteral("Salva in &PDF…"), QDialogButtonBox::ActionRole);
    QPushButton *tuttiDati = pulsanti->addButton(QStringLiteral("Tutti i &dati in PDF…"), QDialogButtonBox::ActionRole);
    tuttiDati->setToolTip(QStringLiteral("Ogni risultato che il registro conserva dell'alunno, per la famiglia"));
    pulsanti->button(QDialogButtonBox::Close)->setText(QStringLiteral("C&hiudi"));
    // Enter in a table must not print: no button is pressed by Enter unless it has the focus.
    for (QAbstractButton *b : pulsanti->buttons())
        if (auto *p = qobject_cast<QPushButton *>(b))
            p->setAutoDefault(false);
    connect(pulsanti, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(stampa, &QPushButton::clicked, this, [this] { emit stampaRichiesta({}); });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString file =
            PdfInsegnante::chiedi(this, QStringLiteral("Salva la pagina in PDF"),
                                  PdfInsegnante::nomeFile(QStringLiteral("Andamento"), riga_.alunno.nome));
        if (!file.isEmpty())
            emit stampaRichiesta(file);
    });
    connect(tuttiDati, &QPushButton::clicked, this, [this] {
        const QString file = PdfInsegnante::chiedi(this, QStringLiteral("Salva i dati dell'alunno in PDF"),
                                                   RapportiRegistro::nomeFileDati(riga_.alunno.nome));
        if (!file.isEmpty())
            emit datiRichiesti(file);
    });

    auto *disposizione = new QVBoxLayout(this);
    disposizione->addWidget(riassunto);
    // No splitter: its grip is an unnamed object to a screen reader, and the keyboard cannot move it.
    disposizione->addWidget(grafico_, 3);
    disposizione->addWidget(schede, 2);
    disposizione->addWidget(pulsanti);
    resize(860, 720);
}
