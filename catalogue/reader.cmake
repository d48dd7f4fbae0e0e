# SPDX-License-Identifier: GPL-3.0-or-later
# The catalogue reader needs no screen: tests, the content checker and the fuzzer use it.
add_library(psograf_catalogue_reader STATIC
  ${PSOGRAF_SOURCE_ROOT}/catalogue/catalogfile.cpp ${PSOGRAF_SOURCE_ROOT}/catalogue/catalogfile.h
  ${PSOGRAF_SOURCE_ROOT}/catalogue/framerule.h)
add_library(psograf::catalogue_reader ALIAS psograf_catalogue_reader)
target_include_directories(psograf_catalogue_reader PUBLIC ${PSOGRAF_SOURCE_ROOT})
target_link_libraries(psograf_catalogue_reader PUBLIC psograf::text)
