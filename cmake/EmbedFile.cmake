# Turns a binary file into a C++ source holding it as a byte array, so the game carries its
# font (and later its tune) inside the executable and needs no lookup at run time.
# Usage: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P EmbedFile.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}"
     "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n#include <cstdint>\n"
     "extern const std::uint8_t ${SYMBOL}[];\nextern const std::size_t ${SYMBOL}Size;\n"
     "alignas(8) const std::uint8_t ${SYMBOL}[] = {\n${bytes}\n};\n"
     "const std::size_t ${SYMBOL}Size = ${size};\n")
