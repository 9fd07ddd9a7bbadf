# The layer check: fails when an include or a link line points the wrong way.
#
#   core/       may include core/ and the headers of Qt Core and Qt SerialPort only
#   gui/glass/  may include core/, gui/glass/ and the headers of Qt Core and Qt Gui only
#   gui/        may include core/ and gui/
#   app/        may include core/, gui/ and app/; app/cli/ (zepta-cli) of gui/ only gui/glass/
# and zepta_core links Qt Core and Qt SerialPort alone, zepta_glass (the glass
# drawn into a picture) zepta_core and Qt Gui alone, never Widgets, and
# zepta-cli zepta_core and zepta_glass alone: it draws the glass, and runs
# where no window system is.
#
# Inside core/ the folders are a stack, bottom first (README, "Where things
# live"); a file includes its own folder and the folders below it, never one
# above or beside it, so no two folders can include each other:
#   base < serial < files < transport < logboard, commands, module < session
#
# Run as: cmake -DSOURCE_DIR=... -DQT_INCLUDE_ROOT=... -DCORE_LIBS=... -DGLASS_LIBS=...
#         -DCLI_LIBS=... -P checklayers.cmake

cmake_minimum_required(VERSION 3.25)
set(failures "")
file(GLOB qtModuleDirs LIST_DIRECTORIES true "${QT_INCLUDE_ROOT}/Qt*")

# The Qt module a header belongs to ("QtWidgets"), or "" when no Qt module has it.
function(qt_module_of header out)
    set(found "")
    if(header MATCHES "^(Qt[A-Za-z]+)/")
        set(found "${CMAKE_MATCH_1}")
    elseif(header MATCHES "^Q")
        foreach(dir IN LISTS qtModuleDirs)
            if(EXISTS "${dir}/${header}")
                get_filename_component(found "${dir}" NAME)
                break()
            endif()
        endforeach()
    endif()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

function(check_layer layer allowedLayers allowedQt)
    string(REPLACE ";" ", " allowedText "${allowedLayers}")
    file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
         "${SOURCE_DIR}/${layer}/*.h" "${SOURCE_DIR}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
        file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line IN LISTS includes)
            if(line MATCHES "include[ \t]*\"([^\"]+)\"")
                set(path "${CMAKE_MATCH_1}")
                set(allowed FALSE)
                foreach(allowedLayer IN LISTS allowedLayers)
                    string(FIND "${path}" "${allowedLayer}/" at)
                    if(at EQUAL 0)
                        set(allowed TRUE)
                    endif()
                endforeach()
                if(NOT allowed)
                    list(APPEND failures "${source}: ${line} (${layer}/ includes only ${allowedText}, named from the root)")
                endif()
            elseif(allowedQt AND line MATCHES "include[ \t]*<([^>]+)>")
                qt_module_of("${CMAKE_MATCH_1}" module)
                if(module AND NOT module IN_LIST allowedQt)
                    list(APPEND failures "${source}: ${line} (${module} is not for ${layer}/)")
                endif()
            endif()
        endforeach()
    endforeach()
    set(failures "${failures}" PARENT_SCOPE)
endfunction()

check_layer(core "core" "QtCore;QtSerialPort")
check_layer(gui/glass "core;gui/glass" "QtCore;QtGui")

# The rank of each folder of core/; folders of one rank stand side by side.
set(coreRanks base=0 serial=1 files=2 transport=3 logboard=4 commands=4 module=4 session=5)

function(core_rank folder out)
    set(rank "")
    foreach(entry IN LISTS coreRanks)
        if(entry MATCHES "^${folder}=([0-9]+)$")
            set(rank "${CMAKE_MATCH_1}")
        endif()
    endforeach()
    set(${out} "${rank}" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE coreSources RELATIVE "${SOURCE_DIR}/core"
     "${SOURCE_DIR}/core/*.h" "${SOURCE_DIR}/core/*.cpp")
foreach(source IN LISTS coreSources)
    if(NOT source MATCHES "/")
        continue() # core/ itself holds no code, only its CMakeLists.txt
    endif()
    string(REGEX MATCH "^[^/]+" folder "${source}")
    core_rank(${folder} rank)
    if(rank STREQUAL "")
        list(APPEND failures "core/${source}: core/${folder}/ has no place in the order of the core folders")
        continue()
    endif()
    file(STRINGS "${SOURCE_DIR}/core/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"core/")
    foreach(line IN LISTS includes)
        if(NOT line MATCHES "include[ \t]*\"core/([^/\"]+)/")
            continue()
        endif()
        set(target "${CMAKE_MATCH_1}")
        if(target STREQUAL folder)
            continue()
        endif()
        core_rank(${target} targetRank)
        if(targetRank STREQUAL "" OR NOT targetRank LESS rank)
            list(APPEND failures "core/${source}: ${line} (core/${folder}/ includes only the folders below it)")
        endif()
    endforeach()
endforeach()
check_layer(gui "core;gui" "")
check_layer(app "core;gui;app" "")
check_layer(app/cli "core;gui/glass;app" "QtCore;QtSerialPort;QtGui")

if(NOT CORE_LIBS STREQUAL "Qt6::Core;Qt6::SerialPort")
    list(APPEND failures "zepta_core links ${CORE_LIBS}; it may link Qt6::Core and Qt6::SerialPort only")
endif()
if(NOT GLASS_LIBS STREQUAL "zepta_core;Qt6::Gui")
    list(APPEND failures "zepta_glass links ${GLASS_LIBS}; it may link zepta_core and Qt6::Gui only")
endif()
if(NOT CLI_LIBS STREQUAL "zepta_core;zepta_glass")
    list(APPEND failures "zepta-cli links ${CLI_LIBS}; it may link zepta_core and zepta_glass only")
endif()

if(failures)
    list(JOIN failures "\n" text)
    message(FATAL_ERROR "Layer check failed:\n${text}")
endif()
message(STATUS "Layers: every include and link points down, inside core/ too")
