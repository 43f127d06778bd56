# Turns a file into a C++ source holding its bytes: cmake -DIN=... -DOUT=... -DNAME=... -P
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
       bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include \"resources/app_image.h\"\n\n"
     "namespace Resources {\n\nconst unsigned char ${NAME}[] = {\n  ${bytes}\n};\n"
     "const size_t ${NAME}Size = ${size};\n\n}  // namespace Resources\n")
