# libxml2, when present, is parsed side by side with our parser as the
# reference (measured only; nothing of the program links it).
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(LIBXML2 QUIET IMPORTED_TARGET libxml-2.0)
endif()
if(LIBXML2_FOUND)
  target_link_libraries(bench_xml PRIVATE PkgConfig::LIBXML2)
  target_compile_definitions(bench_xml PRIVATE TAMSEL_HAVE_LIBXML2=1)
endif()
