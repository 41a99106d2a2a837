# Debian ships no pugixml for MinGW: compile it from the source package that
# scripts/setup extracted, as Boost's serialization is.
set(_pugixml_src "${AMICORD_THIRD_PARTY}/pugixml/src")
if(NOT EXISTS "${_pugixml_src}/pugixml.cpp")
  message(FATAL_ERROR "pugixml sources missing in ${_pugixml_src}: run scripts/setup")
endif()
add_library(amicord_pugixml STATIC "${_pugixml_src}/pugixml.cpp")
target_include_directories(amicord_pugixml SYSTEM PUBLIC "${_pugixml_src}")
target_compile_options(amicord_pugixml PRIVATE -w)
add_library(pugixml::pugixml ALIAS amicord_pugixml)
