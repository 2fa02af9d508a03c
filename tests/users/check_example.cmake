# Runs packscan on EXAMPLE/atp.dat in WORK and compares its thirteen outputs
# with EXAMPLE/expected byte for byte. When EXAMPLE holds NAME.mol2, also checks
# that packscan-listing (LISTING) rebuilds atp.dat from it exactly.
#   cmake -DPACKSCAN=... -DLISTING=... -DEXAMPLE=... -DWORK=... -P check_example.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${EXAMPLE}/atp.dat" DESTINATION "${WORK}")

execute_process(COMMAND "${PACKSCAN}" WORKING_DIRECTORY "${WORK}"
                RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "packscan ended with status ${status}: ${errors}")
endif()
if(NOT errors STREQUAL "")
  message(FATAL_ERROR "packscan printed on standard error: ${errors}")
endif()

set(different "")
foreach(name rb872.dat coord1.xyz coord2.xyz coord3.xyz coord4.xyz coord5.xyz coord6.xyz
             coord7.xyz coord8.xyz coord9.xyz coord10.xyz coord11.xyz coord12.xyz)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${name}" "${EXAMPLE}/expected/${name}"
                  RESULT_VARIABLE differs)
  if(differs)
    list(APPEND different "${name}")
  endif()
endforeach()
if(different)
  message(FATAL_ERROR "differ from ${EXAMPLE}/expected: ${different} (new outputs in ${WORK})")
endif()

get_filename_component(name "${EXAMPLE}" NAME)
if(EXISTS "${EXAMPLE}/${name}.mol2")
  execute_process(COMMAND "${LISTING}" "${name}.mol2" -o "${WORK}/rebuilt.dat"
                  WORKING_DIRECTORY "${EXAMPLE}" RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT errors STREQUAL "")
    message(FATAL_ERROR "packscan-listing ${name}.mol2 ended with status ${status}: ${errors}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/rebuilt.dat" "${EXAMPLE}/atp.dat"
                  RESULT_VARIABLE differs)
  if(differs)
    message(FATAL_ERROR "packscan-listing ${name}.mol2 does not rebuild ${EXAMPLE}/atp.dat")
  endif()
endif()
