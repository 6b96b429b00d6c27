#include "Livello.h"

#include <iterator>

namespace {

// Kind 1 starts at N = 3, the first N that leaves room to add; kind 2's largest M is its
// largest N + 2, so that every N of the range has an M to take away from. From level 2 every
// kind keeps within the level's N: a class set to a level never sees a bigger first set.
constexpr Livello scala[] = {
    {1, {1, 3}, {}, {}, 10},
    {2, {1, 5}, {3, 5}, {1, 5, 7}, 10},
    {3, {2, 7}, {3, 7}, {2, 7, 9}, 10},
    {4, {1, 8}, {3, 9}, {1, 8, 10}, 10},
    {5, {1, 12}, {3, 12}, {1, 12, 14}, 15},
    {6, {1, 15}, {3, 15}, {1, 13, 15}, 15},
};
static_assert(std::size(scala) == Livello::ultimo - Livello::primo + 1);

} // namespace

const Livello &Livello::di(int numero)
{
    // Out of range only by a caller's mistake: the usual draws are the safe answer.
    return scala[(valido(numero) ? numero : consueto) - primo];
}

const Livello &Livello::perTipo(int tipo) const
{
    for (int n = numero_; n <= ultimo; ++n)
        if (di(n).offre(tipo))
            return di(n);
    return di(consueto);
}

int Livello::minimoM(int tipo, int n) const
{
    if (tipo == 1)
        return 1;
    if (tipo == 2)
        return n + 2;
    return 0;
}

int Livello::massimoM(int tipo, int n) const
{
    if (tipo == 1)
        return n - 2;
    if (tipo == 2)
        return regole_[2].massimoM;
    return 0;
}
