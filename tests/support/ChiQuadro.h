#pragma once

#include <cmath>
#include <map>

// Pearson's test that counts follow the probabilities a draw should have. The bound is the
// 99.9th percentile (Wilson-Hilferty), and the tests draw from a fixed seed: a run fails
// only on a real bias, and always the same way.
namespace ChiQuadro {

// Sum over the categories of (observed - expected)^2 / expected, expected = draws × probability.
template <class K> double statistica(const std::map<K, int> &osservati, const std::map<K, double> &probabilita)
{
    int totale = 0;
    for (const auto &[chiave, n] : osservati)
        totale += n;
    double chi = 0;
    for (const auto &[chiave, p] : probabilita) {
        const auto trovato = osservati.find(chiave);
        const double atteso = totale * p;
        const double scarto = (trovato == osservati.end() ? 0 : trovato->second) - atteso;
        chi += scarto * scarto / atteso;
    }
    return chi;
}

inline double soglia(int liberta)
{
    const double z = 3.0902; // 99.9th percentile of the standard normal
    const double k = liberta;
    const double a = 2.0 / (9.0 * k);
    return k * std::pow(1.0 - a + z * std::sqrt(a), 3);
}

} // namespace ChiQuadro
