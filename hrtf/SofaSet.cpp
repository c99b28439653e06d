#include "hrtf/SofaSet.h"

size_t SofaSet::nearest(const std::array<double, 3>& direction) const {
    size_t best = 0;
    double bestCosine = -2.0;
    for (size_t m = 0; m < all.size(); ++m) {
        const auto& u = all[m].direction;
        const double cosine = u[0] * direction[0] + u[1] * direction[1] + u[2] * direction[2];
        if (cosine > bestCosine) bestCosine = cosine, best = m;
    }
    return best;
}
