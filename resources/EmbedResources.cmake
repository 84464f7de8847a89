# Runs JUCE's binary-data tool over the fixed resources and the generated skin, and
# gathers its one-source-per-file output into CorvaneBinaryData.cpp.
# Inputs: JUCEAIDE, SKIN_DIR, OUT_DIR, STATIC_FILES (a list).
file(GLOB skin_files "${SKIN_DIR}/*.png")
list(SORT skin_files)
set(inputs ${STATIC_FILES} "${SKIN_DIR}/skin.xml" ${skin_files})

file(MAKE_DIRECTORY "${OUT_DIR}")
file(GLOB stale "${OUT_DIR}/BinaryData*.cpp")
if(stale)
    file(REMOVE ${stale})
endif()

list(JOIN inputs "\n" input_list)
file(WRITE "${OUT_DIR}/input_file_list" "${input_list}\n")

execute_process(COMMAND "${JUCEAIDE}" binarydata CorvaneBinaryData CorvaneBinaryData.h "${OUT_DIR}" "${OUT_DIR}/input_file_list"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "juceaide binarydata failed: ${result}")
endif()

file(GLOB parts RELATIVE "${OUT_DIR}" "${OUT_DIR}/BinaryData*.cpp")
set(unity "// Generated: every part of the module's binary data, compiled as one.\n")
foreach(part IN LISTS parts)
    string(APPEND unity "#include \"${part}\"\n")
endforeach()
file(WRITE "${OUT_DIR}/CorvaneBinaryData.cpp" "${unity}")
