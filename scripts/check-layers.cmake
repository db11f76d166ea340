# Fails when a folder includes a header of a folder above it (core/README.md and README.md draw the
# layers). Run as: cmake -DROOT=<source folder> -P scripts/check-layers.cmake
#
# Each quoted include is resolved as the compiler does: beside the including file first, else in the
# folders of the layers. A bare name that two folders visible to the file both hold is refused as
# well: it must name its folder, so that it cannot be mistaken for the other.
if(NOT DEFINED ROOT)
    message(FATAL_ERROR "ROOT is not set")
endif()
get_filename_component(ROOT "${ROOT}" REALPATH)

# Lowest first; a folder may include from its own layer and every layer before it. The companion
# (cli) stands on the printouts: its report program prints the program's reports, and opens no window
# (the companion itself links core and Qt Core only, which its test of the linked libraries checks).
set(layers
    core/base core/model core/rules core/quality core/files core/instruments core/store core/operations
    kit drawing print cli reference charts main app)

set(index 0)
foreach(layer ${layers})
    set(rank_${layer} ${index})
    math(EXPR index "${index} + 1")
endforeach()

# The headers of each layer, by name.
foreach(layer ${layers})
    file(GLOB headers RELATIVE "${ROOT}/${layer}" "${ROOT}/${layer}/*.h")
    foreach(header ${headers})
        list(APPEND holders_${header} ${layer})
    endforeach()
endforeach()

set(faults "")
foreach(layer ${layers})
    file(GLOB sources "${ROOT}/${layer}/*.h" "${ROOT}/${layer}/*.cpp")
    foreach(source ${sources})
        file(RELATIVE_PATH shown "${ROOT}" "${source}")
        get_filename_component(here "${source}" DIRECTORY)
        file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
        foreach(line ${lines})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" name "${line}")
            get_filename_component(base "${name}" NAME)
            # The layers visible to this one that hold a header of that name.
            set(visible "")
            foreach(holder ${holders_${base}})
                if(NOT rank_${holder} GREATER rank_${layer})
                    list(APPEND visible ${holder})
                endif()
            endforeach()
            list(LENGTH visible visibleCount)
            if(name STREQUAL base AND visibleCount GREATER 1)
                list(JOIN visible " and " both)
                string(APPEND faults "  ${shown}: \"${name}\" is held by ${both}; name its folder\n")
                continue()
            endif()
            if(EXISTS "${here}/${name}")
                get_filename_component(target "${here}/${name}" REALPATH)
                get_filename_component(targetDir "${target}" DIRECTORY)
                file(RELATIVE_PATH into "${ROOT}" "${targetDir}")
            elseif(name STREQUAL base AND visibleCount EQUAL 1)
                set(into ${visible})
            elseif(name STREQUAL base AND holders_${base})
                # Held only by a layer this one does not see.
                list(GET holders_${base} 0 into)
            else()
                # Generated (moc) or outside the program's folders.
                continue()
            endif()
            if(NOT DEFINED rank_${into})
                string(APPEND faults "  ${shown}: \"${name}\" lies outside the layers (${into})\n")
            elseif(rank_${into} GREATER rank_${layer})
                string(APPEND faults "  ${shown} includes ${into}/${base}, a layer above ${layer}\n")
            endif()
        endforeach()
    endforeach()
endforeach()

# The web view (web/) stands on core alone, and on the companion's JSON of the stored figures, whose
# files must then stand on core alone too.
set(web_shared UCliJson UCliFigures)
file(GLOB web_sources "${ROOT}/web/*.h" "${ROOT}/web/*.cpp")
foreach(shared ${web_shared})
    foreach(ext h cpp)
        if(EXISTS "${ROOT}/cli/${shared}.${ext}")
            list(APPEND web_sources "${ROOT}/cli/${shared}.${ext}")
        endif()
    endforeach()
endforeach()
foreach(source ${web_sources})
    file(RELATIVE_PATH shown "${ROOT}" "${source}")
    get_filename_component(here "${source}" DIRECTORY)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
    foreach(line ${lines})
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" name "${line}")
        get_filename_component(base "${name}" NAME)
        get_filename_component(stem "${name}" NAME_WE)
        list(FIND web_shared "${stem}" shared_at)
        if(EXISTS "${here}/${name}" OR shared_at GREATER -1)
            continue()
        endif()
        set(into "")
        foreach(holder ${holders_${base}})
            if(NOT holder MATCHES "^core/")
                set(into ${holder})
            endif()
        endforeach()
        if(into)
            string(APPEND faults "  ${shown} includes ${into}/${base}; the web view stands on core alone\n")
        endif()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes that run against the layers:\n${faults}")
endif()
message(STATUS "Every include runs down the layers")
