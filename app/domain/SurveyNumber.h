#pragma once
// Leading-number conversion straight from file bytes, with the program's one rule set
// (aero::leadingNumber): "." as decimal point whatever the locale, blanks skipped, the
// number ends at the first character that cannot continue it, no number reads 0.
// Survey lines carry five numbers each; converting from bytes spares a string per number.
#include <QByteArrayView>

namespace aero::import {

double leadingNumber(QByteArrayView text);

} // namespace aero::import
