string(TIMESTAMP STAMP_DATE "%Y%m%d")
string(TIMESTAMP STAMP_H "%H")
string(TIMESTAMP STAMP_M "%M")
string(TIMESTAMP STAMP_S "%S")
math(EXPR STAMP_TIME "${STAMP_H} * 3600 + ${STAMP_M} * 60 + ${STAMP_S}")
math(EXPR STAMP_DATE "${STAMP_DATE}")
file(WRITE ${OUT}
  "// Generated at build time.\n"
  "extern const int kBuildDateStamp = ${STAMP_DATE};\n"
  "extern const int kBuildTimeStamp = ${STAMP_TIME};\n")
