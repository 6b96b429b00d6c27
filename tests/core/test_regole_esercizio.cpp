#include "core/CodiciTasto.h"
#include "core/RegoleTastierino.h"
#include "core/StatoEsercizio.h"
#include "core/TempoRisposta.h"

#include <QTest>

class TestRegoleEsercizio : public QObject {
    Q_OBJECT
private slots:
    void cifreDellaFinestraIniziale()
    {
        // Both keyboards' digits 1..4 pick a button; 0, 5 and other keys none.
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::Cifra(1), 4), 0);
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::Cifra(4), 4), 3);
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::CifraTastierino(3), 4), 2);
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::Cifra(5), 4), -1);
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::CifraTastierino(0), 4), -1);
        QCOMPARE(RegoleTastierino::sceltaInizio(CodiciTasto::Invio, 4), -1);
    }

    void formatoDelTempo()
    {
        QCOMPARE(TempoRisposta::formato(0), QStringLiteral(" 0"));
        QCOMPARE(TempoRisposta::formato(7), QStringLiteral(" 7"));
        QCOMPARE(TempoRisposta::formato(125), QStringLiteral(" 125"));
        QCOMPARE(TempoRisposta::formato(998), QStringLiteral(" 998"));
        QCOMPARE(TempoRisposta::formato(999), QStringLiteral("999"));
        QCOMPARE(TempoRisposta::formato(1000000), QStringLiteral("999"));
        QCOMPARE(TempoRisposta::formato(-3), QStringLiteral("-3"));
    }

    void secondiInteri()
    {
        QCOMPARE(TempoRisposta::secondi(100.2, 100.9), 0);
        QCOMPARE(TempoRisposta::secondi(100.9, 108.1), 7);
        QCOMPARE(TempoRisposta::secondi(0, 1000), 1000);
        // The monotonic clock runs past the day's length: no wrap at midnight.
        QCOMPARE(TempoRisposta::secondi(86398.5, 86402.0), 3);
    }

    void contatoriSiFermanoA32767()
    {
        QCOMPARE(piuUno(0), qint16(1));
        QCOMPARE(piuUno(32766), qint16(32767));
        QCOMPARE(piuUno(32767), qint16(32767));
    }

    void spazioSaltaITastiSpentiEGira()
    {
        const std::array<bool, 5> risolto{false, false, false, true, true};
        QCOMPARE(RegoleTastierino::prossimo(3, risolto), 4);
        QCOMPARE(RegoleTastierino::prossimo(4, risolto), 3);
        const std::array<bool, 5> risposta{true, true, false, false, false};
        QCOMPARE(RegoleTastierino::prossimo(0, risposta), 1);
        QCOMPARE(RegoleTastierino::prossimo(1, risposta), 0);
        const std::array<bool, 5> tutti{true, true, true, true, true};
        QCOMPARE(RegoleTastierino::prossimo(4, tutti), 0);
        const std::array<bool, 5> nessuno{};
        QCOMPARE(RegoleTastierino::prossimo(2, nessuno), 2);
    }
};

QTEST_GUILESS_MAIN(TestRegoleEsercizio)
#include "test_regole_esercizio.moc"
