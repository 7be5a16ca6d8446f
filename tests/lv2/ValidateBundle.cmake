# The bundle's Turtle checked against the LV2 schemas the system has installed
# (lv2-dev), with sord_validate (sordi): every property in its domain and range.
# Usage: cmake -DBUNDLE=<folder> -DSCHEMAS=<folder of *.lv2> -P ValidateBundle.cmake
find_program(SORD_VALIDATE sord_validate)
if(NOT SORD_VALIDATE)
  message(FATAL_ERROR "sord_validate is missing: scripts/install-deps.sh installs it (sordi)")
endif()
file(GLOB schemas ${SCHEMAS}/*.lv2/*.ttl)
file(GLOB bundle ${BUNDLE}/*.ttl ${BUNDLE}/presets/*.ttl)
list(LENGTH schemas schemaCount)
list(LENGTH bundle bundleCount)
if(schemaCount LESS 10 OR bundleCount LESS 2)
  message(FATAL_ERROR "found ${schemaCount} schema files in ${SCHEMAS} and ${bundleCount} in ${BUNDLE}")
endif()
execute_process(COMMAND ${SORD_VALIDATE} ${schemas} ${bundle}
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
set(report "${out}${err}")
if(NOT status EQUAL 0 OR NOT report MATCHES "Found 0 errors" OR report MATCHES "error:")
  message(FATAL_ERROR "sord_validate finds the bundle at fault (exit ${status}):\n${report}")
endif()
message(STATUS "${report}")
