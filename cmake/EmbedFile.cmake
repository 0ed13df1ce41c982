# cmake -DINPUT=<file> -DOUTPUT=<cpp> -DNAMESPACE=<ns> -DHEADER=<include> -P EmbedFile.cmake
# Writes a C++ source that holds the bytes of INPUT as `NAMESPACE::pngData` and `NAMESPACE::pngSize`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated at build time from ${INPUT}.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace ${NAMESPACE}\n{\n"
  "const unsigned char pngData[] = {\n  ${bytes}\n};\n\n"
  "const int pngSize = ${size};\n"
  "} // namespace ${NAMESPACE}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
