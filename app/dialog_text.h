#pragma once
// The texts of the parameter dialogs' fields: numbers written as decimal text and read back
// like the C library's text-to-integer conversion, the comma- or blank-separated number lists,
// and the upper bound of the simulation graphs with five significant digits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// How many characters of a number field are read.
inline constexpr std::size_t kFieldTextLimit = 100;

// Leading blanks, an optional sign, then the digits up to the first other character; 0 when
// there are none. Reads at most kFieldTextLimit characters; a value beyond 32 bits saturates.
// The caller stores the result in its field's own width (16-bit fields keep the low 16 bits).
int32_t textToInt(std::string_view text);

// The same conversion, also telling how many characters the number took (0 when there was no
// digit).
struct ParsedInt {
    int32_t value = 0;
    std::size_t length = 0;
};
ParsedInt parseInt(std::string_view text);

// `count` numbers read from the start of `text`: each entry is converted as by textToInt, then
// reading moves past the number and past the next comma or blank (the first one found), or to
// the end. Entries beyond the end of the text are 0, so an empty entry between two commas
// reads as 0. The whole text is read.
std::vector<int32_t> readNumberList(std::string_view text, std::size_t count);

// The first `count` entries as "%d," each, without the final comma ("" for no entries).
std::string numberListText(const uint16_t* entries, std::size_t count);

// A double in the general format with 5 significant digits ("%.5g"), whatever the locale.
std::string formatUpperBound(double value);

// A decimal floating-point number at the start of the text (leading blanks, sign, digits with
// an optional point and exponent); 0 when there is none. Reads at most kFieldTextLimit
// characters; too large a magnitude gives the largest finite value, too small 0.
double textToDouble(std::string_view text);

}  // namespace app
