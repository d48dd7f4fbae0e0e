# SPDX-License-Identifier: GPL-3.0-or-later
# The layers, checked on the includes: run as cmake -DROOT=<tree> -DQT_DIRS=<Qt Gui, Widgets,
# ... include folders> -P layers.cmake. Fails naming every file that includes a folder above
# its own or a sibling window, or that includes a Qt header with a screen from a folder that
# needs none. A library's own tests (<folder>/tests/), tests/, bench/ and fuzz/ may use
# anything.
cmake_minimum_required(VERSION 3.25)

# Each folder, what it may include besides itself. core/ and search/ stand side by side on
# formats/; print/ stands on core/; the windows stand side by side on all three.
set(windows topics catalogue dialogs main_window search_window chooser)
set(may_base "")
set(may_formats base)
set(may_search base formats)
set(may_core base formats)
set(may_print base formats core)
foreach(w ${windows})
  set(may_${w} base formats search core print)
endforeach()
set(may_app base formats search core print ${windows})
set(may_tools base formats search)
set(screenless base formats search)

string(REPLACE "|" ";" QT_DIRS "${QT_DIRS}")
set(problems "")
file(GLOB_RECURSE sources RELATIVE ${ROOT} ${ROOT}/*.cpp ${ROOT}/*.h)
foreach(file ${sources})
  string(REGEX MATCH "^[^/]+" folder "${file}")
  if(file MATCHES "^(build[^/]*|tests|bench|fuzz)/" OR file MATCHES "/tests/"
     OR NOT DEFINED may_${folder})
    continue()
  endif()
  file(STRINGS ${ROOT}/${file} includes REGEX "^[ \t]*#[ \t]*include")
  foreach(line ${includes})
    if(line MATCHES "#[ \t]*include[ \t]*\"([a-z_]+)/")
      set(used ${CMAKE_MATCH_1})
      if(NOT used STREQUAL folder AND NOT used IN_LIST may_${folder})
        string(APPEND problems "${file}: includes ${used}/ (${folder}/ may use: ${may_${folder}})\n")
      endif()
    elseif(folder IN_LIST screenless AND line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z/]+)>")
      set(header ${CMAKE_MATCH_1})
      foreach(dir ${QT_DIRS})
        if(header MATCHES "^Qt(Gui|Widgets|PrintSupport|Multimedia|OpenGL)" OR EXISTS ${dir}/${header})
          string(APPEND problems "${file}: includes <${header}>, a Qt header with a screen (${folder}/ needs none)\n")
          break()
        endif()
      endforeach()
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the layers:\n${problems}")
endif()
list(LENGTH sources count)
message(STATUS "layers: ${count} files keep to their layers")
