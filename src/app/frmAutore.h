#pragma once

#include "ui/Finestra.h"

class Pulsante;

// Where to find the program's maker; opened modal from the start window.
class frmAutore : public FinestraUnica<frmAutore> {
    Q_OBJECT
public:
    frmAutore();
    Pulsante *Command1() const { return Command1_; }

private:
    Pulsante *Command1_ = nullptr;
};
