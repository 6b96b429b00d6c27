#include "app/FrmInizio.h"
#include "core/StatoEsercizio.h"
#include "core/TipoEsercizio.h"
#include "exercise/frmOperativo.h"
#include "support/AmbienteTest.h"
#include "ui/Cornice.h"
#include "ui/Etichetta.h"
#include "ui/Immagine.h"
#include "ui/NomiFigure.h"
#include "ui/PulsanteOpzione.h"

#include <QAccessible>
#include <QTest>

namespace {

QAccessibleInterface *di(QObject *o) { return QAccessible::queryAccessibleInterface(o); }
QString nome(QObject *o) { return di(o)->text(QAccessible::Name); }

} // namespace

// What a screen reader finds in the start and exercise windows.
class TestAccessibilita : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { AmbienteTest::chiudiTutto(); }

    void iPulsantiInizialiSonoPulsantiConLaLoroDicituraEIlFuoco()
    {
        FrmInizio &f = FrmInizio::istanza();
        f.mostra();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QCOMPARE(nome(&f), QStringLiteral("GLI ZORVANI"));
        const QStringList diciture = {QStringLiteral("INSIEME VUOTO ( )"), QStringLiteral("AGGIUNGI ELEMENTI (+)"),
                                      QStringLiteral("TOGLI ELEMENTI (-)"), QStringLiteral("E S C I ")};
        for (int i = 0; i < 4; ++i) {
            QAccessibleInterface *p = di(f.Option1(i));
            QCOMPARE(p->role(), QAccessible::Button);
            QCOMPARE(p->text(QAccessible::Name), diciture[i]);
            QVERIFY(!p->text(QAccessible::Description).isEmpty());
            QCOMPARE(p->state().focused, i == 0);
            QVERIFY(p->state().focusable && !p->state().disabled);
        }
        f.Option1(2)->setFocus();
        QVERIFY(di(f.Option1(2))->state().focused && !di(f.Option1(0))->state().focused);
    }

    void premereConLAzioneAccessibileApreLEsercizio()
    {
        FrmInizio &f = FrmInizio::istanza();
        f.mostra();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QAccessibleActionInterface *azioni = di(f.Option1(2))->actionInterface();
        QVERIFY(azioni && azioni->actionNames().contains(QAccessibleActionInterface::pressAction()));
        azioni->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(frmOperativo::caricata());
        QCOMPARE(TipoEsercizio, 2);
        QCOMPARE(nome(&frmOperativo::istanza()), QStringLiteral("Costruisci l'insieme consecutivo minore"));
    }

    void gliInsiemiDiconoCioCheContengonoEGliAvvisiSiAnnunciano()
    {
        TipoEsercizio = 0;
        frmOperativo &f = frmOperativo::istanza();
        f.mostra();
        QAccessibleInterface *primo = di(f.FraSfondoS());
        QCOMPARE(primo->role(), QAccessible::Grouping);
        const int n = qRound(ElementiPrimo);
        const NomiFigure::Nome &parole = NomiFigure::nomi[Figura];
        QCOMPARE(primo->text(QAccessible::Name),
                 QStringLiteral("Primo insieme: %1 %2").arg(n).arg(n == 1 ? parole.singolare : parole.plurale));
        QCOMPARE(nome(f.FraSfondoD()), QStringLiteral("Secondo insieme: vuoto"));

        f.AggiungiElemento();
        const QString uno = QStringLiteral("Secondo insieme: 1 %1").arg(parole.singolare);
        QCOMPARE(nome(f.FraSfondoD()), uno);
        f.AggiungiElemento();
        f.AggiungiElemento();
        QCOMPARE(nome(f.FraSfondoD()), QStringLiteral("Secondo insieme: 3 %1").arg(parole.plurale));
        QCOMPARE(di(f.Image2(3))->role(), QAccessible::Graphic);
        QCOMPARE(nome(f.Image2(3)), QString::fromUtf8(parole.singolare));
        f.TogliElemento();
        f.TogliElemento();
        QCOMPARE(nome(f.FraSfondoD()), uno);
        QCOMPARE(nome(f.Image2(3)), QString());
        f.TogliElemento();
        QCOMPARE(nome(f.FraSfondoD()), QStringLiteral("Secondo insieme: vuoto"));

        // As many as the first set is always wrong: the verdict, then the help offer.
        QAccessibleInterface *esito = di(f.LblEsito());
        QCOMPARE(esito->role(), QAccessible::Notification);
        QVERIFY(esito->state().invisible);
        for (int i = 0; i < n; ++i)
            f.AggiungiElemento();
        f.VerificaRisposta();
        QCOMPARE(esito->text(QAccessible::Name), QStringLiteral("Errato"));
        QVERIFY(!esito->state().invisible);
        QCOMPARE(di(f.fraAiuto())->role(), QAccessible::Notification);
        QCOMPARE(nome(f.fraAiuto()), QStringLiteral("Ti aiuto ?"));
    }
};

QTEST_MAIN(TestAccessibilita)
#include "test_accessibilita.moc"
