# SPDX-License-Identifier: GPL-3.0-or-later
# Text decoding, content paths and failures: all the file readers need, no screen. Also
# included by the fuzz build, which links the readers and nothing else.
add_library(psograf_text STATIC
  ${PSOGRAF_SOURCE_ROOT}/core/contentfiles.h ${PSOGRAF_SOURCE_ROOT}/core/units.h
  ${PSOGRAF_SOURCE_ROOT}/core/contentpath.cpp ${PSOGRAF_SOURCE_ROOT}/core/contentpath.h
  ${PSOGRAF_SOURCE_ROOT}/core/text.cpp ${PSOGRAF_SOURCE_ROOT}/core/text.h
  ${PSOGRAF_SOURCE_ROOT}/core/failure.cpp ${PSOGRAF_SOURCE_ROOT}/core/failure.h
)
add_library(psograf::text ALIAS psograf_text)
target_include_directories(psograf_text PUBLIC ${PSOGRAF_SOURCE_ROOT})
target_link_libraries(psograf_text PUBLIC Qt6::Core)
