#pragma once

#include <QImage>
#include <QPixmap>
#include <QSize>

// One picture of the program: its pixels at the listed logical size and, where
// there is one, the same drawing at four times the resolution, used wherever a
// device has more pixels to give (high-DPI screens, printers). Copies share data.
class Disegno {
public:
    Disegno() = default;
    Disegno(int numero, QImage normale, QImage alta = {});

    static Disegno daRisorsa(int numero, const QString &percorso, const QString &percorsoAlta = {});

    bool isNull() const { return normale_.isNull(); }
    int numero() const { return numero_; }
    QSize dimensione() const { return normale_.size(); } // logical pixels
    const QImage &normale() const { return normale_; }
    // The richest pixels available: the 4x drawing, or the normal one.
    const QImage &migliore() const { return alta_.isNull() ? normale_ : alta_; }
    bool haAlta() const { return !alta_.isNull(); }
    const QPixmap &pixmap() const { return pixmap_; }

private:
    int numero_ = -1;
    QImage normale_;
    QImage alta_;
    QPixmap pixmap_;
};
