#pragma once

#include <QObject>

// Sees every real key release and mouse release in the program, whichever
// widget gets it. A window's "one press acts once" guards clear on these, so a
// release that went to another widget never swallows the next fresh press.
class OsservatoreRilasci : public QObject {
    Q_OBJECT
public:
    static OsservatoreRilasci &istanza();

signals:
    void tastoRilasciato();
    void mouseRilasciato();

protected:
    bool eventFilter(QObject *oggetto, QEvent *evento) override;

private:
    OsservatoreRilasci();
};
