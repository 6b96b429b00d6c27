#include "Finestra.h"

#include "Accessibilita.h"
#include "Cornice.h"
#include "Etichetta.h"
#include "Immagine.h"
#include "Pulsante.h"
#include "PulsanteOpzione.h"
#include "RegistroFinestre.h"
#include "Riquadro.h"
#include "Sagoma.h"
#include "Sfondo.h"
#include "StileBarraMenu.h"
#include "core/Twips.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

QFont carattere(const Carattere &c, const QFont &predefinito)
{
    QFont f = predefinito;
    if (c.famiglia)
        f.setFamily(QString::fromLatin1(c.famiglia));
    if (c.punti > 0)
        f.setPointSizeF(c.punti);
    f.setBold(c.grassetto);
    return f;
}

Qt::Alignment allineamento(Allineamento a)
{
    switch (a) {
    case Allineamento::Centro:
        return Qt::AlignHCenter | Qt::AlignTop;
    case Allineamento::Destra:
        return Qt::AlignRight | Qt::AlignTop;
    case Allineamento::Sinistra:
        break;
    }
    return Qt::AlignLeft | Qt::AlignTop;
}

} // namespace

Finestra::Finestra(const DefinizioneFinestra &definizione) : definizione_(definizione), client_(new QWidget(this))
{
    Accessibilita::prepara();
    static quint64 creati = 0;
    numero_ = ++creati;
    setWindowTitle(QString::fromUtf8(definizione.titolo));
    // The small windows keep their design size: a close box, nothing to minimize or maximize.
    if (!definizione.grande)
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    client_->setObjectName(QStringLiteral("client"));
    riempiSfondo(client_, definizione.sfondo);
    setCentralWidget(client_);
    client_->installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *ora) {
        if (auto *p = qobject_cast<PulsanteOpzione *>(ora); p && p->window() == this)
            ultimoPulsante_ = p;
    });
}

Finestra::~Finestra() { RegistroFinestre::istanza().togli(this); }

void Finestra::costruisci(std::span<const DefinizioneControllo> definizioni)
{
    std::vector<QWidget *> creati;
    creati.reserve(definizioni.size());
    for (const DefinizioneControllo &d : definizioni) {
        QWidget *contenitore = client_;
        if (d.contenitore) {
            contenitore = controllo<QWidget>(d.contenitore, d.indiceContenitore);
            Q_ASSERT_X(contenitore, "Finestra::costruisci", d.contenitore);
            if (!contenitore)
                contenitore = client_;
        }
        QWidget *w = creaControllo(d, contenitore);
        creati.push_back(w);
        elenco_.aggiungi({w, d.tipo, QString::fromLatin1(d.nome), d.indice, d.posizione});
    }
    // Earlier definitions lie in front of later ones within their container.
    for (auto it = creati.rbegin(); it != creati.rend(); ++it)
        (*it)->raise();

    std::vector<std::pair<int, QWidget *>> ordine;
    for (size_t i = 0; i < definizioni.size(); ++i)
        if (definizioni[i].tabIndex >= 0 && creati[i]->focusPolicy() != Qt::NoFocus)
            ordine.emplace_back(definizioni[i].tabIndex, creati[i]);
    std::stable_sort(ordine.begin(), ordine.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 1; i < ordine.size(); ++i)
        QWidget::setTabOrder(ordine[i - 1].second, ordine[i].second);
}

QWidget *Finestra::creaControllo(const DefinizioneControllo &d, QWidget *contenitore)
{
    QWidget *w = nullptr;
    const QString testo = d.testo ? QString::fromUtf8(d.testo) : QString();
    switch (d.tipo) {
    case TipoControllo::Etichetta: {
        auto *e = new Etichetta(contenitore);
        e->setText(testo);
        e->impostaSfondo(d.sfondo);
        if (d.primoPiano)
            e->impostaColoreTesto(*d.primoPiano);
        e->setAlignment(allineamento(d.allineamento));
        w = e;
        break;
    }
    case TipoControllo::Cornice: {
        auto *c = new Cornice(contenitore);
        c->impostaSfondo(d.sfondo);
        c->impostaBordo(d.bordo);
        w = c;
        break;
    }
    case TipoControllo::Immagine: {
        auto *i = new Immagine(contenitore);
        i->impostaEstendi(d.estendi);
        w = i;
        break;
    }
    case TipoControllo::Sagoma: {
        auto *s = new Sagoma(contenitore);
        s->impostaSfondo(d.sfondo);
        s->impostaBordo(d.primoPiano);
        w = s;
        break;
    }
    case TipoControllo::PulsanteOpzione: {
        auto *o = new PulsanteOpzione(contenitore);
        if (d.indice >= 0)
            gruppo(d.nome)->addButton(o, d.indice);
        o->setText(testo);
        o->impostaSfondo(d.sfondo);
        w = o;
        break;
    }
    case TipoControllo::Pulsante: {
        auto *p = new Pulsante(contenitore);
        p->setText(testo);
        p->impostaSfondo(d.sfondo);
        w = p;
        break;
    }
    case TipoControllo::Elenco: {
        auto *c = new QComboBox(contenitore);
        c->setEditable(false);
        w = c;
        break;
    }
    case TipoControllo::Riquadro: {
        auto *r = new Riquadro(contenitore);
        r->impostaSfondo(d.sfondo);
        w = r;
        break;
    }
    case TipoControllo::Timer:
    case TipoControllo::Menu:
        Q_UNREACHABLE();
    }
    w->setObjectName(d.indice >= 0 ? QStringLiteral("%1(%2)").arg(QString::fromLatin1(d.nome)).arg(d.indice)
                                   : QString::fromLatin1(d.nome));
    w->setFont(carattere(d.carattere, w->font()));
    if (d.suggerimento)
        w->setToolTip(QString::fromUtf8(d.suggerimento));
    if (d.descrizione)
        w->setAccessibleDescription(QString::fromUtf8(d.descrizione));
    w->setGeometry(Twips::inPixel(d.posizione));
    return w;
}

QButtonGroup *Finestra::gruppo(const char *nome)
{
    const QString n = QString::fromLatin1(nome);
    auto *g = findChild<QButtonGroup *>(n, Qt::FindDirectChildrenOnly);
    if (!g) {
        // Option buttons drawn as push buttons are never left selected: nothing to keep exclusive.
        g = new QButtonGroup(this);
        g->setObjectName(n);
        g->setExclusive(false);
    }
    return g;
}

QMenu *Finestra::aggiungiMenu(const char *nome, const QString &testo)
{
    preparaBarraMenu();
    QMenu *menu = menuBar()->addMenu(testo);
    menu->setObjectName(QString::fromLatin1(nome));
    connect(menu, &QMenu::aboutToHide, this, [this, menu] {
        // Once the menu is gone and the bar has settled on what comes next.
        QTimer::singleShot(0, this, [this, azione = QPointer<QAction>(menu->menuAction())] { dopoMenu(azione); });
    });
    elenco_.aggiungi({menu->menuAction(), TipoControllo::Menu, QString::fromLatin1(nome), -1, {}});
    return menu;
}

void Finestra::mancante(const char *nome, int indice, const char *tipo) const
{
    const QString controllo = indice < 0 ? QString::fromLatin1(nome) : QStringLiteral("%1(%2)").arg(nome).arg(indice);
    qFatal("%s: no control %s of type %s in its definitions", metaObject()->className(), qPrintable(controllo), tipo);
}

QAction *Finestra::aggiungiAzione(QMenu *menu, const char *nome, const QString &testo)
{
    QAction *azione = menu->addAction(testo);
    azione->setObjectName(QString::fromLatin1(nome));
    elenco_.aggiungi({azione, TipoControllo::Menu, QString::fromLatin1(nome), -1, {}});
    return azione;
}

QAction *Finestra::aggiungiAzioneBarra(const char *nome, const QString &testo)
{
    preparaBarraMenu();
    QAction *azione = menuBar()->addAction(testo);
    azione->setObjectName(QString::fromLatin1(nome));
    elenco_.aggiungi({azione, TipoControllo::Menu, QString::fromLatin1(nome), -1, {}});
    return azione;
}

void Finestra::preparaBarraMenu()
{
    if (azioneBarraMenu_)
        return;
    menuBar()->setStyle(new StileBarraMenu(menuBar()));
    azioneBarraMenu_ = new QAction(this);
    azioneBarraMenu_->setObjectName(QStringLiteral("azioneBarraMenu"));
    azioneBarraMenu_->setShortcut(QKeySequence(PulsanteOpzione::tastoBarraMenu));
    addAction(azioneBarraMenu_);
    connect(azioneBarraMenu_, &QAction::triggered, this, &Finestra::apriBarraMenu);
}

void Finestra::apriBarraMenu()
{
    // F10 does what Alt alone does: the bar watches the keyboard's focus for a bare Alt pressed
    // and released, and takes the keyboard on the release.
    QWidget *destinatario = focusWidget() ? focusWidget() : this;
    for (QEvent::Type tipo : {QEvent::ShortcutOverride, QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent alt(tipo, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(destinatario, &alt);
    }
}

void Finestra::dopoMenu(QAction *menu)
{
    // Moving along the bar with the arrows, from a menu to the next item: the teacher is still there.
    const QMenuBar *barra = menuBar();
    if (barra->hasFocus() && barra->activeAction() && barra->activeAction() != menu)
        return;
    // Where the menu kept the activation as it closed, taking it back brings the focus with it.
    if (const QWidget *attiva = QApplication::activeWindow(); attiva && attiva != this && !attiva->isVisible())
        activateWindow();
    riportaFuoco();
}

void Finestra::riportaFuoco()
{
    if (scaricata_ || !isActiveWindow() || QApplication::activePopupWidget())
        return;
    if (QWidget *modale = QApplication::activeModalWidget(); modale && modale != this)
        return;
    const QWidget *fuoco = focusWidget();
    const QWidget *barra = menuWidget();
    const bool perso = !fuoco || !fuoco->isVisible() || (barra && (fuoco == barra || barra->isAncestorOf(fuoco)));
    if (!perso)
        return;
    PulsanteOpzione *meta = ultimoPulsante_;
    if (!meta || meta->window() != this || !meta->isVisible() || !meta->isEnabled()) {
        meta = nullptr;
        for (PulsanteOpzione *p : client_->findChildren<PulsanteOpzione *>())
            if (p->isVisible() && p->isEnabled()) {
                meta = p;
                break;
            }
    }
    if (meta)
        meta->setFocus(Qt::OtherFocusReason);
}

QTimer *Finestra::aggiungiTimer(const char *nome, int intervallo)
{
    auto *timer = new QTimer(this);
    timer->setObjectName(QString::fromLatin1(nome));
    timer->setInterval(intervallo);
    timer->setTimerType(Qt::PreciseTimer);
    elenco_.aggiungi({timer, TipoControllo::Timer, QString::fromLatin1(nome), -1, {}});
    return timer;
}

void Finestra::carica()
{
    if (definizione_.grande)
        resize(dimensioneProgetto());
    else
        setFixedSize(dimensioneProgetto());
    client_->resize(Twips::inPixel(definizione_.larghezzaClient), Twips::inPixel(definizione_.altezzaClient));
    RegistroFinestre::istanza().aggiungi(this);
    // Captured at the design size, before the first show resizes the window. A small window
    // uses it only when its screen is too small for its design size.
    rapporti_.cattura(elenco_, definizione_.larghezzaClient, definizione_.altezzaClient);
    Form_Load();
}

double Finestra::larghezzaInterna() const { return Twips::daPixel(client_->width()); }
double Finestra::altezzaInterna() const { return Twips::daPixel(client_->height()); }
double Finestra::larghezzaEsterna() const { return Twips::daPixel(frameGeometry().width()); }

QSize Finestra::dimensioneProgetto() const
{
    const int barra = menuWidget() ? menuWidget()->sizeHint().height() : 0;
    return {Twips::inPixel(definizione_.larghezzaClient), Twips::inPixel(definizione_.altezzaClient) + barra};
}

QMargins Finestra::cornice() const
{
    const auto margini = [](const QWidget *w) {
        const QRect esterno = w->frameGeometry();
        const QRect interno = w->geometry();
        return QMargins(interno.left() - esterno.left(), interno.top() - esterno.top(),
                        esterno.right() - interno.right(), esterno.bottom() - interno.bottom());
    };
    if (isVisible())
        return margini(this);
    // Not framed yet: the window system frames it as it frames the others.
    for (const QWidget *w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && qobject_cast<const Finestra *>(w) && !margini(w).isNull())
            return margini(w);
    return {};
}

void Finestra::adattaAlloSchermo()
{
    QScreen *schermo = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!schermo)
        return;
    const QRect disponibile = schermo->availableGeometry();
    const QMargins margini = cornice();
    // The design size when it fits; else what room there is (the controls follow the new size).
    const QSize dimensione = dimensioneProgetto().boundedTo(disponibile.size().shrunkBy(margini));
    if (definizione_.grande)
        resize(dimensione);
    else
        setFixedSize(dimensione);
    QRect esterno(QPoint(), dimensione.grownBy(margini));
    esterno.moveCenter(disponibile.center());
    move(esterno.topLeft());
}

void Finestra::ricordaChiLHaAperta()
{
    QWidget *attiva = QApplication::activeWindow();
    if (attiva != this && !qobject_cast<Finestra *>(attiva))
        daAltraFinestra_ = attiva;
    else if (attiva != this)
        daAltraFinestra_.clear();
}

void Finestra::mostra()
{
    if (scaricata_)
        return;
    ricordaChiLHaAperta();
    ultimaMostrata() = this;
    if (windowModality() != Qt::NonModal) {
        hide(); // modality can only change while hidden
        setWindowModality(Qt::NonModal);
    }
    if (!giaMostrata_) {
        giaMostrata_ = true;
        // A large window restores to its place at the centre.
        adattaAlloSchermo();
        if (definizione_.grande)
            showMaximized();
        else
            show();
    } else {
        if (isMinimized())
            setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    }
    raise();
    activateWindow();
}

void Finestra::mostraModale()
{
    if (scaricata_)
        return;
    ricordaChiLHaAperta();
    if (windowModality() != Qt::ApplicationModal) {
        hide();
        setWindowModality(Qt::ApplicationModal);
    }
    if (!giaMostrata_) {
        giaMostrata_ = true;
        adattaAlloSchermo();
    }
    show();
    raise();
    activateWindow();
}

void Finestra::nascondi()
{
    const bool attiva = isActiveWindow();
    hide();
    if (attiva)
        restituisciAttivazione();
}

void Finestra::scarica()
{
    if (scaricata_)
        return;
    scaricata_ = true;
    ultimaMostrata() = nullptr;
    Form_Unload();
    // A window the unload handler showed takes over; otherwise the one active before.
    Finestra *mostrata = ultimaMostrata();
    const bool attiva = isActiveWindow();
    hide();
    if (mostrata && mostrata != this && mostrata->isVisible()) {
        mostrata->raise();
        mostrata->activateWindow();
    } else if (attiva) {
        restituisciAttivazione();
    }
    dimentica();
    RegistroFinestre::istanza().togli(this);
    // A handler of one of its own controls may be running: delete when it is done.
    deleteLater();
}

bool Finestra::event(QEvent *e)
{
    if ((e->type() == QEvent::Move || e->type() == QEvent::Resize) && verificaPosto_ &&
        windowState() == Qt::WindowNoState) {
        // Restored: the place kept for it was chosen before the window system framed it.
        verificaPosto_ = false;
        if (QScreen *schermo = screen(); schermo && !schermo->availableGeometry().contains(frameGeometry()))
            adattaAlloSchermo();
    }
    if (e->type() == QEvent::WindowActivate && isVisible() && !scaricata_) {
        // Only a change of active window within the program counts, not a return from another
        // program; a late activation of a window already hidden counts for nothing.
        static quint64 ultimaAttivata = 0;
        const bool cambio = ultimaAttivata != numero_;
        ultimaAttivata = numero_;
        QList<QPointer<Finestra>> &ordine = ordineAttivazione();
        ordine.removeAll(nullptr);
        ordine.removeAll(this);
        ordine.append(this);
        const bool risultato = QMainWindow::event(e);
        if (cambio)
            Form_Activate();
        // Back from a dialog or another window, the pupils' keys work again at once.
        QTimer::singleShot(0, this, &Finestra::riportaFuoco);
        return risultato;
    }
    return QMainWindow::event(e);
}

QPointer<Finestra> &Finestra::ultimaMostrata()
{
    static QPointer<Finestra> finestra;
    return finestra;
}

QList<QPointer<Finestra>> &Finestra::ordineAttivazione()
{
    static QList<QPointer<Finestra>> ordine;
    return ordine;
}

void Finestra::restituisciAttivazione()
{
    // The window that was active before this one takes over, as a window system would.
    if (QWidget *altra = daAltraFinestra_.data();
        altra && altra->isVisible() && altra->isEnabled() && !altra->isMinimized()) {
        altra->raise();
        altra->activateWindow();
        return;
    }
    const QList<QPointer<Finestra>> &ordine = ordineAttivazione();
    for (auto it = ordine.crbegin(); it != ordine.crend(); ++it) {
        Finestra *f = *it;
        if (f && f != this && f->isVisible() && !f->scaricata_) {
            f->raise();
            f->activateWindow();
            return;
        }
    }
}

void Finestra::changeEvent(QEvent *e)
{
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || scaricata_)
        return;
    // Minimizing and restoring keep the client's size here, yet count as resizes for the windows.
    const auto prima = static_cast<QWindowStateChangeEvent *>(e)->oldState();
    if ((prima ^ windowState()) & Qt::WindowMinimized)
        ridimensionato();
    if ((prima & Qt::WindowMaximized) && windowState() == Qt::WindowNoState)
        verificaPosto_ = true;
}

void Finestra::ridimensionato()
{
    const bool ristretta =
        larghezzaInterna() < definizione_.larghezzaClient || altezzaInterna() < definizione_.altezzaClient;
    if (definizione_.grande || ristretta)
        rapporti_.applica(elenco_, larghezzaInterna(), altezzaInterna());
    Form_Resize();
}

bool Finestra::eventFilter(QObject *oggetto, QEvent *evento)
{
    if (oggetto == client_ && evento->type() == QEvent::Paint && !dipinta_) {
        dipinta_ = true;
        QTimer::singleShot(0, this, &Finestra::dopoPrimoDisegno);
    }
    if (oggetto == client_ && evento->type() == QEvent::Resize && !scaricata_)
        ridimensionato();
    return QMainWindow::eventFilter(oggetto, evento);
}

void Finestra::dopoPrimoDisegno()
{
    // Framed now: a frame larger than foreseen may reach past the screen's edge.
    if (QScreen *schermo = screen();
        schermo && !isMaximized() && !isFullScreen() && !schermo->availableGeometry().contains(frameGeometry()))
        adattaAlloSchermo();
    // Decoding an icon wakes Qt's image plugins, which costs more than the whole first frame.
    if (definizione_.icona)
        setWindowIcon(QIcon(QString::fromLatin1(definizione_.icona)));
}

void Finestra::closeEvent(QCloseEvent *e)
{
    e->accept();
    scarica();
}
