// Value lines of the track description and of its object records: fields separated by commas.
//
// Splitting n fields: each of the first n - 1 fields is the text before the next comma (the comma
// is consumed); when no comma is left the field is empty and nothing is consumed. The last field
// is whatever remains, commas included. So "2" split in two gives "" and "2", and "1,2" split in
// three gives "1", "" and "2".
#pragma once

#include "core/base/TextUtils.h"

#include <array>
#include <string>
#include <string_view>

TStringList SplitCommaFields(std::string_view text, int count);

// A real number of a value line, blanks allowed around it. Anything else, including a number too
// large for a double, raises EConvertError "'%s' ist kein gültiger Gleitkommawert" naming the
// piece as written.
double RecordNumber(const std::string& piece);

// Three numbers split as above and converted in order, so the first bad piece is the one named.
std::array<double, 3> RecordTriple(std::string_view text);
