# Debian ships no Boost for MinGW: compile just the wide text archives from the
# source package that scripts/setup extracted. Headers come through a folder that
# holds only a link to /usr/include/boost, so no glibc header leaks in.
set(_bs_src "${AMICORD_THIRD_PARTY}/boost-serialization/src")
if(NOT EXISTS "${_bs_src}/text_wiarchive.cpp")
  message(FATAL_ERROR "Boost serialization sources missing in ${_bs_src}: run scripts/setup")
endif()
set(_bs_files
  archive_exception basic_archive basic_iarchive basic_iserializer basic_oarchive
  basic_oserializer basic_pointer_iserializer basic_pointer_oserializer
  basic_serializer_map extended_type_info extended_type_info_typeid void_cast
  codecvt_null basic_text_wiprimitive basic_text_woprimitive text_wiarchive text_woarchive)
list(TRANSFORM _bs_files PREPEND "${_bs_src}/")
list(TRANSFORM _bs_files APPEND ".cpp")
add_library(amicord_boost_serialization STATIC ${_bs_files})
target_include_directories(amicord_boost_serialization SYSTEM PUBLIC "${AMICORD_THIRD_PARTY}/boost-include")
target_compile_definitions(amicord_boost_serialization PUBLIC BOOST_ALL_NO_LIB BOOST_SERIALIZATION_STATIC_LINK=1 BOOST_ARCHIVE_STATIC_LINK=1)
target_compile_options(amicord_boost_serialization PRIVATE -w)
