# SPDX-License-Identifier: GPL-3.0-or-later
# The topic file reader needs no screen: tests, the content checker and the fuzzer use it.
add_library(psograf_topics_reader STATIC
  ${PSOGRAF_SOURCE_ROOT}/topics/topicfile.cpp ${PSOGRAF_SOURCE_ROOT}/topics/topicfile.h)
add_library(psograf::topics_reader ALIAS psograf_topics_reader)
target_include_directories(psograf_topics_reader PUBLIC ${PSOGRAF_SOURCE_ROOT})
target_link_libraries(psograf_topics_reader PUBLIC psograf::text)
