#pragma once

#include "DefinizioneControllo.h"
#include "ElencoControlli.h"
#include "Rapporti.h"
#include "RegistroFinestre.h"

#include <QMainWindow>
#include <QPointer>

#include <span>

class QMenu;
class QAction;
class QButtonGroup;
class QTimer;
class PulsanteOpzione;

// A window of the program. One instance per class (see FinestraUnica), loaded at
// first reference: its controls are built from the design definitions, then its
// load handler runs. Showing is modeless or modal; hiding keeps everything;
// unloading runs the unload handler and discards the instance, so the next
// reference loads a fresh one. Large windows open maximized and keep every
// control at its proportional place at any size.
class Finestra : public QMainWindow, public RegistroFinestre::Scaricabile {
    Q_OBJECT
public:
    ~Finestra() override;

    void mostra();       // modeless: shown, in front and active
    void mostraModale(); // the other windows take no input until it is hidden or unloaded
    void nascondi();
    void scarica() override;
    bool scaricata() const override { return scaricata_; }

    QWidget *client() const { return client_; }
    const ElencoControlli &controlli() const { return elenco_; }
    const Rapporti &rapporti() const { return rapporti_; }
    const DefinizioneFinestra &definizione() const { return definizione_; }

    // Inner (client) size and outer width, in twips.
    double larghezzaInterna() const;
    double altezzaInterna() const;
    double larghezzaEsterna() const;

protected:
    explicit Finestra(const DefinizioneFinestra &definizione);

    // Builds the controls in definition order; earlier ones lie in front.
    void costruisci(std::span<const DefinizioneControllo> definizioni);
    // Menu items and timers belong to the control list too.
    QMenu *aggiungiMenu(const char *nome, const QString &testo);
    QAction *aggiungiAzione(QMenu *menu, const char *nome, const QString &testo);
    QAction *aggiungiAzioneBarra(const char *nome, const QString &testo);
    QTimer *aggiungiTimer(const char *nome, int intervallo);

    // A control of the definitions by name (and index); a name, index or type
    // that the definitions do not have stops the program, naming it.
    template <class T> T *controllo(const char *nome, int indice = -1) const
    {
        T *c = elenco_.trova<T>(QString::fromLatin1(nome), indice);
        if (!c)
            mancante(nome, indice, T::staticMetaObject.className());
        return c;
    }
    template <class T> ArrayControlli<T> array(const char *nome) const
    {
        ArrayControlli<T> a(elenco_, QString::fromLatin1(nome));
        if (a.conta() == 0)
            mancante(nome, -1, T::staticMetaObject.className());
        for (const auto &[indice, membro] : a)
            if (!membro)
                mancante(nome, indice, T::staticMetaObject.className());
        return a;
    }

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_Resize() {}
    virtual void Form_Unload() {}

    // Runs the load: sizes the window to its design client area, registers it
    // as loaded, captures the layout of a large window, then Form_Load.
    void carica();
    // Runs once the window has shown its first frame: the place for what can wait until then.
    virtual void dopoPrimoDisegno();
    // Called once when the window is unloaded, so its class forgets the instance.
    virtual void dimentica() = 0;

    bool event(QEvent *e) override;
    bool eventFilter(QObject *oggetto, QEvent *evento) override;
    void closeEvent(QCloseEvent *e) override;
    void changeEvent(QEvent *e) override;

private:
    static QList<QPointer<Finestra>> &ordineAttivazione();
    static QPointer<Finestra> &ultimaMostrata();
    void restituisciAttivazione();
    void ricordaChiLHaAperta();
    // The menu bar takes Alt alone and F10 as the ways in from the keyboard.
    void preparaBarraMenu();
    void apriBarraMenu();
    // With the window active and nothing else open, a keyboard left on the menu bar or nowhere
    // goes back to the big button that last had it, or to the first one that can take it.
    void riportaFuoco();
    void dopoMenu(QAction *menu);
    void ridimensionato();
    QWidget *creaControllo(const DefinizioneControllo &d, QWidget *contenitore);
    QSize dimensioneProgetto() const; // design client size plus the menu bar
    QMargins cornice() const;         // what the window system adds around the window
    // Wholly on its screen, shrunk if the screen is too small for the design size, and centred.
    void adattaAlloSchermo();
    // The button group of an array of option buttons, whose ids are the array's indices.
    QButtonGroup *gruppo(const char *nome);

    [[noreturn]] void mancante(const char *nome, int indice, const char *tipo) const;

    DefinizioneFinestra definizione_;
    QWidget *client_;
    ElencoControlli elenco_;
    Rapporti rapporti_;
    bool scaricata_ = false;
    QPointer<PulsanteOpzione> ultimoPulsante_;
    // A window of the program's other kind (the teacher's) that was active when this one was
    // shown: it, not a pupil's window, gets the keyboard back when this one goes.
    QPointer<QWidget> daAltraFinestra_;
    QAction *azioneBarraMenu_ = nullptr;
    bool giaMostrata_ = false;
    bool dipinta_ = false;
    bool verificaPosto_ = false; // restored: check it lies on the screen once the window system has placed it
    quint64 numero_ = 0;         // tells instances apart, even one loaded again at the same address
};

// The single, automatically created instance of a window class T. Base lets
// several window classes share an intermediate class derived from Finestra.
template <class T, class Base = Finestra> class FinestraUnica : public Base {
public:
    // The instance, loaded now if it is not loaded.
    static T &istanza()
    {
        if (!istanza_) {
            istanza_ = new T();
            istanza_->carica();
        }
        return *istanza_;
    }
    static bool caricata() { return istanza_ != nullptr; }
    // The instance if loaded, without loading it.
    static T *seCaricata() { return istanza_; }

protected:
    using Base::Base;
    ~FinestraUnica() override
    {
        if (istanza_ == this)
            istanza_ = nullptr;
    }
    void dimentica() override
    {
        if (istanza_ == this)
            istanza_ = nullptr;
    }

private:
    static inline T *istanza_ = nullptr;
};
