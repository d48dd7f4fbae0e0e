# SPDX-License-Identifier: GPL-3.0-or-later
# The program's command line as a terminal user meets it, with no display at all: --help
# and --version answer on stdout with status 0 (a window would need a display, and the
# program would abort), a mistake gets exactly one line on stderr and status 2.
#   cmake -DPROGRAM=<psograf> -DVERSION=<project version> -P command_line.cmake
cmake_minimum_required(VERSION 3.25)
function(expect arguments status stdout stderr)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
            --unset=QT_QPA_PLATFORM ${PROGRAM} ${arguments}
    RESULT_VARIABLE got_status OUTPUT_VARIABLE got_stdout ERROR_VARIABLE got_stderr)
  set(problems)
  if(NOT got_status STREQUAL status)
    list(APPEND problems "status ${got_status}, expected ${status}")
  endif()
  if(NOT got_stdout MATCHES "${stdout}")
    list(APPEND problems "stdout does not match '${stdout}':\n${got_stdout}")
  endif()
  if(NOT got_stderr MATCHES "${stderr}")
    list(APPEND problems "stderr does not match '${stderr}':\n${got_stderr}")
  endif()
  if(problems)
    string(JOIN "\n  " text ${problems})
    message(SEND_ERROR "psograf ${arguments}:\n  ${text}")
  else()
    message(STATUS "psograf ${arguments}: as expected")
  endif()
endfunction()

set(usage "^Использование: psograf \\[параметры\\]\nПёсограф — справочник о породах собак")
set(options "\n  -h, --help +Показать эту справку и выйти\\.\n  -v, --version +Показать версию и выйти\\.\n  --content <папка> +Читать тексты и картинки из этой папки")
set(see_help " Список параметров: psograf --help\n$")
#      arguments                         status stdout                           stderr
expect("--help"                          0      "${usage}.*${options}"           "^$")
expect("-h"                              0      "${usage}"                       "^$")
expect("--version"                       0      "^Пёсограф ${VERSION}\n$"        "^$")
expect("-v"                              0      "^Пёсограф ${VERSION}\n$"        "^$")
# Answered before the content folder is looked at; Qt's own options pass.
expect("--content;/nonexistent;-v"       0      "^Пёсограф ${VERSION}\n$"        "^$")
expect("-style;fusion;--version"         0      "^Пёсограф ${VERSION}\n$"        "^$")
expect("--bogus"                         2      "^$"  "^psograf: Неизвестный параметр «bogus»\\.${see_help}")
expect("-x;--help"                       2      "^$"  "^psograf: Неизвестный параметр «x»\\.${see_help}")
expect("--content"                       2      "^$"  "^psograf: Отсутствует значение после «--content»\\.${see_help}")
expect("stray"                           2      "^$"  "^psograf: лишний аргумент «stray»\\.${see_help}")
