# Compiles palinor.rc with windres, then decompiles it to check the icon and the French version record.
# The host's cpp preprocesses, so no MinGW compiler is needed.
set(args --preprocessor=cpp -I ${ICON_DIR} -i ${RC})
execute_process(COMMAND ${WINDRES} ${args} -o ${OUT_DIR}/palinor_rc.o
  RESULT_VARIABLE failed ERROR_VARIABLE errors)
if(failed)
  message(FATAL_ERROR "windres cannot compile ${RC}: ${errors}")
endif()
execute_process(COMMAND ${WINDRES} ${args} -O rc OUTPUT_VARIABLE text RESULT_VARIABLE failed)
# The icon group: the 256-colour 32 x 32 image first, then true colour from 16 to 256 (0 stands for 256).
foreach(expected "LANGUAGE 12, 1" "Has 8 elements" "\"\\040\\040\\000\\000\", 1, 8, 0x8a8L, 1"
    "\"\\020\\020\\000\\000\", 1, 32," "\"\\060\\060\\000\\000\", 1, 32,"
    "\"\\000\\000\\000\\000\", 1, 32," "FILEVERSION 1, 0, 0, 0"
    "PRODUCTVERSION 1, 0, 0, 0" "FILEOS 0x4" "FILETYPE 0x1" "VALUE \"Translation\", 0x40c, 1200"
    "BLOCK \"040C04B0\"" "VALUE \"OriginalFilename\", \"Palinor.exe\"")
  string(FIND "${text}" "${expected}" at)
  if(failed OR at EQUAL -1)
    message(FATAL_ERROR "the compiled resources lack ${expected}:\n${text}")
  endif()
endforeach()
string(FIND "${text}" "VarFileInfo" translation)
string(FIND "${text}" "StringFileInfo" strings)
string(REGEX MATCHALL "VALUE \"" values "${text}")
list(LENGTH values value_count)
if(NOT translation LESS strings OR NOT value_count EQUAL 6)
  message(FATAL_ERROR
    "the version record must give the translation first, then exactly five strings:\n${text}")
endif()
