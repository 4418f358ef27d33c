# Converts one UTF-8 text source of the bundled game to Shift-JIS (CP932), the encoding the
# engine reads. A character with no Shift-JIS form fails the build instead of being dropped.
# Usage: cmake -D IN=<utf-8 source> -D OUT=<shift-jis file> -P to_sjis.cmake
if(NOT DEFINED IN OR NOT DEFINED OUT)
  message(FATAL_ERROR "to_sjis.cmake needs -D IN=... and -D OUT=...")
endif()
get_filename_component(out_dir "${OUT}" DIRECTORY)
file(MAKE_DIRECTORY "${out_dir}")
# Written beside the target and renamed into place, so a failed conversion never leaves a
# partial file that the next build would take as up to date.
execute_process(
  COMMAND iconv -f UTF-8 -t CP932 "${IN}"
  OUTPUT_FILE "${OUT}.part"
  ERROR_VARIABLE err
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(REMOVE "${OUT}.part")
  message(FATAL_ERROR "${IN}: not convertible to Shift-JIS (CP932): ${err}")
endif()
file(RENAME "${OUT}.part" "${OUT}")
