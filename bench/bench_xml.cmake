# The parser needs only its own library; libxml2 and pugixml, when present,
# are parsed side by side with it as references (measured only; nothing of
# the program links them).
set_property(TARGET bench_xml PROPERTY LINK_LIBRARIES benchmark::benchmark tamsel_xml)
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBXML2 QUIET IMPORTED_TARGET libxml-2.0)
  pkg_check_modules(PUGIXML QUIET IMPORTED_TARGET pugixml)
endif()
if(LIBXML2_FOUND)
  target_link_libraries(bench_xml PRIVATE PkgConfig::LIBXML2)
  target_compile_definitions(bench_xml PRIVATE TAMSEL_HAVE_LIBXML2=1)
endif()
if(PUGIXML_FOUND)
  target_link_libraries(bench_xml PRIVATE PkgConfig::PUGIXML)
  target_compile_definitions(bench_xml PRIVATE TAMSEL_HAVE_PUGIXML=1)
endif()
