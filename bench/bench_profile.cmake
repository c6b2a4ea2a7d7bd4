target_compile_definitions(bench_profile PRIVATE TAMSEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
