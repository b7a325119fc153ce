#pragma once

// The four dilution calculators. The inputs are read as doubles and combined in
// extended precision in exactly this order, so results match to the last digit.
namespace Dilution {

// "1+x" style, from the final quantity: stock = Q / (a + b). The first number
// enters only through the sum.
long double stockForFinal(double Q, double a, double b);
// "1+x" style, from the stock quantity: final = (S / a) * b + S.
long double finalForStock(double S, double a, double b);
// "g/l, ml/l" style, c1 units of stock per c2 units of solution: (Q / c2) * c1.
long double stockForRatio(double Q, double c1, double c2);
// "%" style, final concentration F made from stock of concentration K:
// (Q * F) / K. The caller refuses K < F first.
long double stockForPercent(double Q, double F, double K);

} // namespace Dilution
