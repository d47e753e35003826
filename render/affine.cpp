// SPDX-License-Identifier: MIT
#include "affine.h"

#include <cmath>

double Affine::scale() const
{
    return std::sqrt(std::fabs(xx * yy - xy * yx));
}

Affine Affine::inverse() const
{
    const double det = xx * yy - xy * yx;
    if (det == 0)
        return {};
    Affine r;
    r.xx = yy / det;
    r.xy = -xy / det;
    r.yx = -yx / det;
    r.yy = xx / det;
    r.dx = -(r.xx * dx + r.xy * dy);
    r.dy = -(r.yx * dx + r.yy * dy);
    return r;
}

Affine compose(const Affine &outer, const Affine &inner)
{
    Affine r;
    r.xx = outer.xx * inner.xx + outer.xy * inner.yx;
    r.xy = outer.xx * inner.xy + outer.xy * inner.yy;
    r.yx = outer.yx * inner.xx + outer.yy * inner.yx;
    r.yy = outer.yx * inner.xy + outer.yy * inner.yy;
    r.dx = outer.xx * inner.dx + outer.xy * inner.dy + outer.dx;
    r.dy = outer.yx * inner.dx + outer.yy * inner.dy + outer.dy;
    return r;
}

Affine translation(double dx, double dy)
{
    Affine r;
    r.dx = dx;
    r.dy = dy;
    return r;
}

Affine scaling(double sx, double sy)
{
    Affine r;
    r.xx = sx;
    r.yy = sy;
    return r;
}

Affine quarter_turns(int quarters)
{
    static constexpr int kCos[] = {1, 0, -1, 0};
    static constexpr int kSin[] = {0, 1, 0, -1};
    const int q = ((quarters % 4) + 4) % 4;
    Affine r;
    r.xx = kCos[q];
    r.xy = -kSin[q];
    r.yx = kSin[q];
    r.yy = kCos[q];
    return r;
}
