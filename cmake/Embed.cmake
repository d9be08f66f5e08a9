# Turns a text file into a C++ source that defines one string constant.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=Name -P Embed.cmake
file(READ "${INPUT}" CONTENT)
file(WRITE "${OUTPUT}" "extern const char ${SYMBOL}[];\nconst char ${SYMBOL}[] = R\"EMBED(${CONTENT})EMBED\";\n")
