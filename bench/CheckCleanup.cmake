# Runs one short benchmark of bench_datafile in an empty parent folder and fails if it leaves files.
# Usage: cmake -DBENCH=<bench_datafile> -DWORK=<folder> -P CheckCleanup.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "VARNHOLT_BENCH_TMP=${WORK}" "${BENCH}"
                        --benchmark_filter=BM_WriteDataFile/200 --benchmark_min_time=0.01
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "bench_datafile ended with ${status}")
endif()
file(GLOB left "${WORK}/*")
if(left)
    message(FATAL_ERROR "bench_datafile left behind: ${left}")
endif()
