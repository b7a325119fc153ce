#include "core/calc/dilution.h"

#include "core/calc/number_text.h"

namespace Dilution {

long double stockForFinal(double Q, double a, double b)
{
    return checkedDivide(Q, checkedAdd(a, b));
}

long double finalForStock(double S, double a, double b)
{
    return checkedAdd(checkedMultiply(checkedDivide(S, a), b), S);
}

long double stockForRatio(double Q, double c1, double c2)
{
    return checkedMultiply(checkedDivide(Q, c2), c1);
}

long double stockForPercent(double Q, double F, double K)
{
    return checkedDivide(checkedMultiply(Q, F), K);
}

} // namespace Dilution
