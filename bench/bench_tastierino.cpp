// Input to visible feedback on the exercise window: from a keypad key press
// (Enter on AGGIUNGI or TOGLI) to the end of the paint that shows the changed
// second set. Run on the display to measure (QT_QPA_PLATFORM=xcb with DISPLAY
// set, or offscreen); prints the median, 95th percentile and worst case.
// With --voce the real voice is on and every press also hands it a sentence
// (it needs a running speech service, SPEECHD_ADDRESS to choose one).
// With --alunno a pupil of a register (a SQLite file in a temporary folder) is
// answering, so every VERIFICA hands a result to the register; the press of
// VERIFICA to the paint of its verdict is measured too, with or without.
#include "app/Applicazione.h"
#include "core/StatoEsercizio.h"
#include "core/TipoEsercizio.h"
#include "exercise/ChiRisponde.h"
#include "exercise/frmOperativo.h"
#include "registro/Registro.h"
#include "registro/RegistroCorrente.h"
#include "sintesi/VoceSpeechd.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/Immagine.h"
#include "ui/PulsanteOpzione.h"
#include "voce/FrasiVoce.h"
#include "voce/Parlato.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Notes every paint of the watched widgets.
class OsservaDisegni : public QObject {
public:
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            dipinto = true;
        return false;
    }
    bool dipinto = false;
};

void invia(QWidget *w, QEvent::Type tipo)
{
    QKeyEvent e(tipo, Qt::Key_Return, Qt::NoModifier, tipo == QEvent::KeyPress ? QStringLiteral("\r") : QString());
    QApplication::sendEvent(w, &e);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Applicazione::prepara();
    const bool conVoce = QCoreApplication::arguments().contains(QStringLiteral("--voce"));
    QTemporaryDir impostazioni; // switching the voice on is saved: not in the user's settings
    std::unique_ptr<VoceSpeechd> voce;
    if (conVoce) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, impostazioni.path());
        voce = std::make_unique<VoceSpeechd>();
        Parlato::istanza().impostaVoce(voce.get());
        Parlato::istanza().impostaAttiva(true);
        QElapsedTimer avvio;
        avvio.start();
        while (voce->stato() == Voce::Stato::DaProvare && avvio.elapsed() < 120000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        if (voce->stato() != Voce::Stato::Pronta) {
            std::printf("no Italian voice: %s\n", qPrintable(voce->mancante()));
            return 1;
        }
        std::printf("voice ready after %lld ms\n", static_cast<long long>(avvio.elapsed()));
    }
    const bool conAlunno = QCoreApplication::arguments().contains(QStringLiteral("--alunno"));
    QTemporaryDir dati;
    std::unique_ptr<Registro> registro;
    if (conAlunno) {
        registro = Registro::apri(dati.filePath(QStringLiteral("registro.sqlite")));
        const std::optional<Classe> classe = registro->creaClasse(QStringLiteral("2ª B"));
        QList<Alunno> alunni{Alunno{
            .id = {}, .classe = classe ? classe->id : QString(), .nome = QStringLiteral("Bea"), .contrassegno = {}}};
        if (!classe || !registro->aggiungiAlunni(classe->id, alunni)) {
            std::printf("no register: %s\n", qPrintable(registro->errore()));
            return 1;
        }
        RegistroCorrente::imposta(registro.get());
        Rispondente = ChiRisponde{.alunno = alunni.first(), .ospite = false};
    }
    TipoEsercizio = 0;
    frmOperativo &f = frmOperativo::istanza();
    f.mostra();
    QElapsedTimer attesa;
    attesa.start();
    while (attesa.elapsed() < 1500) // maximize, activation and the first frames
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    OsservaDisegni osservatore;
    f.FraSfondoD()->installEventFilter(&osservatore);
    for (int k = 1; k <= 15; ++k)
        f.Image2(k)->installEventFilter(&osservatore);

    constexpr int prove = 400;
    std::vector<double> millisecondi;
    millisecondi.reserve(prove);
    int mancati = 0;
    for (int i = 0; i < prove; ++i) {
        // Up to 10 with AGGIUNGI, then down to 0 with TOGLI: every press changes the set.
        const bool aggiungi = (i / 10) % 2 == 0;
        PulsanteOpzione *tasto = f.Option1(aggiungi ? 0 : 1);
        tasto->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        osservatore.dipinto = false;

        const auto inizio = std::chrono::steady_clock::now();
        invia(tasto, QEvent::KeyPress);
        if (conVoce)
            Parlato::istanza().dici(FrasiVoce::conteggio(static_cast<int>(ElementiPrimo), ElementiSecondo));
        QElapsedTimer limite;
        limite.start();
        while (!osservatore.dipinto && limite.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        const auto fine = std::chrono::steady_clock::now();
        if (!osservatore.dipinto)
            ++mancati;
        millisecondi.push_back(std::chrono::duration<double, std::milli>(fine - inizio).count());
        invia(tasto, QEvent::KeyRelease);
        QThread::msleep(2);
    }

    std::sort(millisecondi.begin(), millisecondi.end());
    const auto quantile = [&](double q) { return millisecondi[static_cast<size_t>(q * (millisecondi.size() - 1))]; };
    std::printf("keypad press to end of paint (%s, %d presses): median %.2f ms, p95 %.2f ms, worst %.2f ms; "
                "one 60 Hz frame is 16.7 ms; presses with no paint: %d%s%s\n",
                qPrintable(QGuiApplication::platformName()), prove, quantile(0.5), quantile(0.95), millisecondi.back(),
                mancati, conVoce ? "; every press also handed the voice a sentence" : "",
                conAlunno ? "; a pupil of the register answering" : "");
    std::printf("second set now %d elements\n", static_cast<int>(ElementiSecondo));

    // VERIFICA to its verdict: the press that makes a result (kept when a pupil answers).
    OsservaDisegni verdetto;
    f.LblEsito()->installEventFilter(&verdetto);
    constexpr int verifiche = 200;
    std::vector<double> verifica;
    verifica.reserve(verifiche);
    for (int i = 0; i < verifiche; ++i) {
        f.NuovoEsercizio();
        f.AggiungiElemento();
        PulsanteOpzione *tasto = f.Option1(2);
        tasto->setFocus(Qt::OtherFocusReason);
        QCoreApplication::processEvents();
        verdetto.dipinto = false;
        const auto inizio = std::chrono::steady_clock::now();
        invia(tasto, QEvent::KeyPress);
        QElapsedTimer limite;
        limite.start();
        while (!verdetto.dipinto && limite.elapsed() < 200)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        verifica.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - inizio).count());
        invia(tasto, QEvent::KeyRelease);
        // Wrong: help taken, which completes the result.
        if (f.fraAiuto()->isEnabled())
            f.SiSi();
        QThread::msleep(2);
    }
    std::sort(verifica.begin(), verifica.end());
    std::printf(
        "VERIFICA press to end of the verdict's paint (%d presses): median %.2f ms, p95 %.2f ms, worst %.2f ms\n",
        verifiche, verifica[verifiche / 2], verifica[static_cast<size_t>(0.95 * (verifiche - 1))], verifica.back());
    if (registro) {
        QElapsedTimer svuotamento;
        svuotamento.start();
        const bool vuota = registro->svuota(30000);
        int righe = 0;
        registro->risultati({}, [&](const Registro::RigaRisultato &) { ++righe; });
        std::printf("register: %d rows written, queue %s after %lld ms more\n", righe, vuota ? "empty" : "NOT empty",
                    static_cast<long long>(svuotamento.elapsed()));
    }
    f.scarica();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    RegistroCorrente::imposta(nullptr);
    registro.reset();
    if (voce) {
        Parlato::istanza().impostaVoce(nullptr);
        voce->chiudi(5000);
    }
    return 0;
}
