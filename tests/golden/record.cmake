# Records the golden outputs from a build: frame hashes into frames/ and the
# ball tool's digests into ball_looks.txt. Only for a deliberate change of the
# pictures; every other change must keep the recorded outputs.
# Without RENDER only the ball looks are recorded.
#   cmake -DRENDER=build/release/tools/quorix-render/quorix-render
#         -DBALL=build/release/tools/quorix-ball/quorix-ball -P tests/golden/record.cmake
include(${CMAKE_CURRENT_LIST_DIR}/cases.cmake)
set(dir ${CMAKE_CURRENT_LIST_DIR})
file(MAKE_DIRECTORY ${dir}/frames)
foreach(style ${QUORIX_GOLDEN_STYLES})
    if(NOT DEFINED RENDER)
        break()  # only the ball looks
    endif()
    foreach(size ${QUORIX_GOLDEN_SIZES})
        foreach(run ${QUORIX_GOLDEN_RUNS})
            string(REPLACE ":" ";" r ${run})
            list(GET r 0 seed)
            list(GET r 1 balls)
            list(GET r 2 ballSize)
            set(name style${style}_${size}_seed${seed})
            execute_process(COMMAND ${RENDER} --size ${size} --style ${style} --balls ${balls}
                                    --ball-size ${ballSize} --seed ${seed}
                                    --frames ${QUORIX_GOLDEN_FRAMES} --hash-every ${QUORIX_GOLDEN_EVERY}
                            OUTPUT_FILE ${dir}/frames/${name}.txt COMMAND_ERROR_IS_FATAL ANY)
            message(STATUS "recorded ${name}")
        endforeach()
    endforeach()
endforeach()
file(STRINGS ${dir}/ball_looks.txt lines)
set(text "")
foreach(line ${lines})
    if(line MATCHES "^#")
        string(APPEND text "${line}\n")
        continue()
    endif()
    string(REGEX MATCH "^[^ ]+ ?(.*)$" _whole "${line}")
    set(args "${CMAKE_MATCH_1}")
    separate_arguments(argv UNIX_COMMAND "${args}")
    execute_process(COMMAND ${BALL} ${argv} OUTPUT_VARIABLE out COMMAND_ERROR_IS_FATAL ANY)
    string(SHA256 digest "${out}")
    string(APPEND text "${digest} ${args}\n")
endforeach()
file(WRITE ${dir}/ball_looks.txt "${text}")
